// The XBRL instance reader: contexts and the facts of the mapped elements, by namespace
// URI and local name; prefixes only ever resolve through the declarations in scope.
#include <QXmlStreamReader>
#include <vector>

#include "engine/import/FilingImport.h"
#include "engine/import/GuardedInput.h"

namespace quorvex {
namespace {

const QString kXbrli = QStringLiteral("http://www.xbrl.org/2003/instance");
const QString kXbrldi = QStringLiteral("http://xbrl.org/2006/xbrldi");
const QString kXsi = QStringLiteral("http://www.w3.org/2001/XMLSchema-instance");

// The taxonomy of an element's namespace; the last URI seen is remembered, as this runs for
// every element and a filing uses a handful of namespaces.
class TaxonomyCache {
  public:
    bool Of(QStringView uri, FilingTaxonomy& taxonomy) {
        if (uri != uri_) {
            uri_ = uri.toString();
            known_ = TaxonomyOfNamespace(uri_.toStdString(), taxonomy_);
        }
        taxonomy = taxonomy_;
        return known_;
    }

  private:
    QString uri_;
    FilingTaxonomy taxonomy_ = FilingTaxonomy::Jppfs;
    bool known_ = false;
};

bool IsStatementTaxonomy(QStringView uri) {
    FilingTaxonomy t;
    return TaxonomyOfNamespace(uri.toString().toStdString(), t) && t == FilingTaxonomy::Jppfs;
}

// The namespace declarations in scope, innermost last.
class NamespaceScopes {
  public:
    void Push(const QXmlStreamNamespaceDeclarations& d) { scopes_.push_back(d); }
    void Pop() {
        if (!scopes_.empty()) scopes_.pop_back();
    }
    // The namespace URI and local name of a QName written as text ("p:Local").
    bool Resolve(QStringView qname, QString& uri, QString& local) const {
        qname = qname.trimmed();
        const auto colon = qname.indexOf(QLatin1Char(':'));
        const QStringView prefix = colon < 0 ? QStringView() : qname.left(colon);
        local = qname.mid(colon + 1).toString();
        for (auto s = scopes_.rbegin(); s != scopes_.rend(); ++s) {
            for (const auto& d : *s) {
                if (d.prefix() == prefix) {
                    uri = d.namespaceUri().toString();
                    return true;
                }
            }
        }
        return false;
    }

  private:
    std::vector<QXmlStreamNamespaceDeclarations> scopes_;
};

class InstanceReader {
  public:
    InstanceReader(GuardedInput& input, FilingInstance& out, const FilingLimits& limits,
                   int readErrorMessage)
        : input_(input),
          xml_(&input),
          out_(out),
          limits_(limits),
          readErrorMessage_(readErrorMessage) {}

    FilingProblem Read();

  private:
    QXmlStreamReader::TokenType Next() {
        const auto t = xml_.readNext();
        input_.TokenDone();
        return t;
    }
    // The text of a leaf element; its end tag is consumed.
    QString LeafText() {
        QString text = xml_.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        input_.TokenDone();
        scopes_.Pop();
        --depth_;
        return text;
    }
    void StartInContext();
    void EndContext();
    bool ReadFact(FilingElement element);
    TaxonomyCache taxonomies_;

    GuardedInput& input_;
    QXmlStreamReader xml_;
    FilingInstance& out_;
    const FilingLimits& limits_;
    const int readErrorMessage_;
    NamespaceScopes scopes_;
    int depth_ = 0;
    bool tooMany_ = false;

    // The context being read.
    bool inContext_ = false;
    int contextDepth_ = 0;
    FilingContext context_;
    bool datesOk_ = true, otherDimension_ = false, hasEnd_ = false, hasStart_ = false;
};

void InstanceReader::StartInContext() {
    const QStringView uri = xml_.namespaceUri(), name = xml_.name();
    if (uri == kXbrli && (name == u"instant" || name == u"startDate" || name == u"endDate")) {
        const bool instant = name == u"instant", start = name == u"startDate";
        FilingDate date;
        if (!ParseFilingDate(LeafText().trimmed().toStdString(), date)) datesOk_ = false;
        if (start) {
            context_.start = date;
            hasStart_ = true;
        } else {
            context_.end = date;
            context_.instant = instant;
            hasEnd_ = true;
        }
    } else if (uri == kXbrldi && name == u"explicitMember") {
        const QString dimension = xml_.attributes().value(QStringLiteral("dimension")).toString();
        QString dimUri, dimLocal, memUri, memLocal;
        const bool resolved = scopes_.Resolve(dimension, dimUri, dimLocal);
        const QString member = LeafText();
        // Only the consolidated/non-consolidated axis is understood; any other dimension
        // (a segment, a component of equity) makes the context one to ignore.
        if (!resolved || !scopes_.Resolve(member, memUri, memLocal) ||
            !IsStatementTaxonomy(dimUri) || dimLocal != u"ConsolidatedOrNonConsolidatedAxis" ||
            !IsStatementTaxonomy(memUri)) {
            otherDimension_ = true;
        } else if (memLocal == u"NonConsolidatedMember") {
            context_.nonConsolidated = true;
        } else if (memLocal != u"ConsolidatedMember") {
            otherDimension_ = true;
        }
    } else if (uri == kXbrldi && name == u"typedMember") {
        otherDimension_ = true;
    }
}

void InstanceReader::EndContext() {
    inContext_ = false;
    if (!datesOk_ || otherDimension_ || !hasEnd_ || context_.instant == hasStart_) return;
    if (out_.contexts.size() >= limits_.maxKept) {
        tooMany_ = true;
        return;
    }
    out_.contexts.push_back(std::move(context_));
}

// A fact of a mapped element; false when there are too many to keep.
bool InstanceReader::ReadFact(FilingElement element) {
    const QXmlStreamAttributes attributes = xml_.attributes();
    FilingFact fact;
    fact.element = element;
    fact.numeric = attributes.hasAttribute(QStringLiteral("unitRef"));
    fact.context = attributes.value(QStringLiteral("contextRef")).toString().toStdString();
    const bool nil = attributes.value(kXsi, QStringLiteral("nil")).trimmed() == u"true";
    fact.value = LeafText().trimmed().toStdString();
    if (nil) return true;
    if (out_.facts.size() >= limits_.maxKept) return false;
    out_.facts.push_back(std::move(fact));
    return true;
}

FilingProblem InstanceReader::Read() {
    bool rootSeen = false;
    while (!xml_.atEnd() && !tooMany_) {
        switch (Next()) {
            case QXmlStreamReader::DTD:
            case QXmlStreamReader::EntityReference:
                // Entity declarations are never expanded: the document is refused as soon
                // as its DOCTYPE is seen.
                return {kMsgImportDoctype, {}};
            case QXmlStreamReader::StartElement:
                scopes_.Push(xml_.namespaceDeclarations());
                ++depth_;
                if (!rootSeen) {
                    rootSeen = true;
                    if (xml_.namespaceUri() != kXbrli || xml_.name() != u"xbrl") {
                        return {kMsgImportNotFiling, {}};
                    }
                } else if (inContext_) {
                    StartInContext();
                } else if (depth_ == 2 && xml_.namespaceUri() == kXbrli &&
                           xml_.name() == u"context") {
                    inContext_ = true;
                    contextDepth_ = depth_;
                    context_ = {};
                    context_.id =
                        xml_.attributes().value(QStringLiteral("id")).toString().toStdString();
                    datesOk_ = true;
                    otherDimension_ = hasEnd_ = hasStart_ = false;
                } else if (FilingElement e;
                           depth_ == 2 && taxonomies_.Of(xml_.namespaceUri(), e.taxonomy)) {
                    e.name = xml_.name().toString().toStdString();
                    if (IsMappedFact(e,
                                     xml_.attributes().hasAttribute(QStringLiteral("unitRef"))) &&
                        !ReadFact(std::move(e))) {
                        tooMany_ = true;
                    }
                }
                break;
            case QXmlStreamReader::EndElement:
                if (inContext_ && depth_ == contextDepth_) EndContext();
                scopes_.Pop();
                --depth_;
                break;
            default:
                break;
        }
    }
    if (tooMany_ || input_.exceeded()) return {kMsgImportTooLarge, {}};
    if (input_.failed()) return {readErrorMessage_, {}};
    if (!rootSeen) return {kMsgImportNotFiling, {}};
    if (xml_.hasError()) {
        return {kMsgImportXml, QStringLiteral("%1行 %2\n")
                                   .arg(xml_.lineNumber())
                                   .arg(xml_.errorString())
                                   .toStdString()};
    }
    return {};
}

}  // namespace

FilingProblem ReadXbrlInstance(QIODevice& device, FilingInstance& instance,
                               const FilingLimits& limits) {
    GuardedInput input([&device](char* data, std::int64_t max) { return device.read(data, max); },
                       limits.maxBytes, limits.maxTokenBytes);
    return InstanceReader(input, instance, limits, kMsgImportOpen).Read();
}

FilingProblem ReadGuardedInstance(GuardedInput& input, FilingInstance& instance,
                                  const FilingLimits& limits, int readErrorMessage) {
    return InstanceReader(input, instance, limits, readErrorMessage).Read();
}

}  // namespace quorvex
