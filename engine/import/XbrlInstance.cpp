// The XML reader of filings: an XBRL instance, or one page of inline XBRL. Contexts and
// the facts the mapping reads, by namespace URI and local name; prefixes only ever resolve
// through the declarations in scope. Memory stays linear in the nesting depth, which is
// capped, and in the facts kept.
#include <QXmlStreamReader>
#include <vector>

#include "core/import/FilingChecks.h"
#include "core/import/InlineValues.h"
#include "engine/import/FilingReaders.h"

namespace quorvex {
namespace {

const QString kXbrli = QStringLiteral("http://www.xbrl.org/2003/instance");
const QString kXbrldi = QStringLiteral("http://xbrl.org/2006/xbrldi");
const QString kXsi = QStringLiteral("http://www.w3.org/2001/XMLSchema-instance");
const QString kXhtml = QStringLiteral("http://www.w3.org/1999/xhtml");
const QString kTransformations = QStringLiteral("http://www.xbrl.org/inlineXBRL/transformation/");

bool IsInlineNamespace(QStringView uri) {
    return uri == u"http://www.xbrl.org/2008/inlineXBRL" ||
           uri == u"http://www.xbrl.org/2013/inlineXBRL";
}

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

// The namespace declarations in scope: one stack of them, each element remembering how
// many it pushed, so memory grows with the declarations and not with depth × declarations.
class NamespaceScopes {
  public:
    void Push(const QXmlStreamNamespaceDeclarations& d) {
        for (const auto& n : d)
            declarations_.emplace_back(n.prefix().toString(), n.namespaceUri().toString());
        counts_.push_back(d.size());
    }
    void Pop() {
        if (counts_.empty()) return;
        declarations_.resize(declarations_.size() - static_cast<std::size_t>(counts_.back()));
        counts_.pop_back();
    }
    // The namespace URI and local name of a QName written as text ("p:Local").
    bool Resolve(QStringView qname, QString& uri, QString& local) const {
        qname = qname.trimmed();
        const auto colon = qname.indexOf(QLatin1Char(':'));
        const QStringView prefix = colon < 0 ? QStringView() : qname.left(colon);
        local = qname.mid(colon + 1).toString();
        for (auto d = declarations_.rbegin(); d != declarations_.rend(); ++d) {
            if (d->first == prefix) {
                uri = d->second;
                return true;
            }
        }
        return false;
    }

  private:
    std::vector<std::pair<QString, QString>> declarations_;
    std::vector<qsizetype> counts_;
};

class DocumentReader {
  public:
    DocumentReader(GuardedInput& input, FilingInstance& out, const FilingLimits& limits,
                   int readErrorMessage)
        : input_(input),
          xml_(&input),
          out_(out),
          limits_(limits),
          readErrorMessage_(readErrorMessage) {}

    DocumentRead Read();

  private:
    // What the text of the element being read becomes at its end.
    enum class Capture { None, Instant, Start, End, Member, Fact };

    bool Start();  // false when the document is refused (problem_)
    void End();
    void StartContext();
    void StartInContext();
    void EndContext();
    void StartFact(FilingElement element, bool numeric);
    void StartInlineFact();
    void EndCapture();
    // The xsi:nil of the element: 1 nil, 0 not, −1 neither "true", "1", "false" nor "0".
    int Nil() const;
    void Refuse(int messageId, std::string detail = {}) {
        if (problem_.messageId == 0) problem_ = {messageId, std::move(detail)};
    }

    GuardedInput& input_;
    QXmlStreamReader xml_;
    FilingInstance& out_;
    const FilingLimits& limits_;
    const int readErrorMessage_;
    TaxonomyCache taxonomies_;
    NamespaceScopes scopes_;
    FilingProblem problem_;
    DocumentRead result_;
    int depth_ = 0;
    bool rootSeen_ = false;

    Capture capture_ = Capture::None;
    int captureDepth_ = 0, excludeDepth_ = 0;
    QString text_;

    // The context being read.
    bool inContext_ = false;
    int contextDepth_ = 0;
    FilingContext context_;
    bool otherDimension_ = false, hasEnd_ = false, hasStart_ = false;
    QString dimension_;

    // The fact being read.
    FilingFact fact_;
    bool inlineNumber_ = false, negative_ = false, formatKnown_ = true;
    QString format_, scale_;
};

int DocumentReader::Nil() const {
    const QStringView nil = xml_.attributes().value(kXsi, QStringLiteral("nil")).trimmed();
    if (nil == u"true" || nil == u"1") return 1;
    if (nil.isEmpty() || nil == u"false" || nil == u"0") return 0;
    return -1;
}

void DocumentReader::StartContext() {
    inContext_ = true;
    contextDepth_ = depth_;
    context_ = {};
    context_.id = xml_.attributes().value(QStringLiteral("id")).toString().toStdString();
    otherDimension_ = hasEnd_ = hasStart_ = false;
}

void DocumentReader::StartInContext() {
    const QStringView uri = xml_.namespaceUri(), name = xml_.name();
    if (uri == kXbrli && name == u"instant") {
        capture_ = Capture::Instant;
    } else if (uri == kXbrli && name == u"startDate") {
        capture_ = Capture::Start;
    } else if (uri == kXbrli && name == u"endDate") {
        capture_ = Capture::End;
    } else if (uri == kXbrldi && name == u"explicitMember") {
        capture_ = Capture::Member;
        dimension_ = xml_.attributes().value(QStringLiteral("dimension")).toString();
    } else if (uri == kXbrldi && name == u"typedMember") {
        otherDimension_ = true;
    }
    if (capture_ != Capture::None) {
        captureDepth_ = depth_;
        text_.clear();
    }
}

void DocumentReader::EndContext() {
    inContext_ = false;
    if (otherDimension_ || !hasEnd_ || context_.instant == hasStart_) return;
    if (out_.contexts.size() >= limits_.maxKept) {
        Refuse(kMsgImportTooManyFacts);
        return;
    }
    out_.contexts.push_back(std::move(context_));
}

void DocumentReader::StartFact(FilingElement element, bool numeric) {
    fact_ = {};
    fact_.element = std::move(element);
    fact_.numeric = numeric;
    fact_.context = xml_.attributes().value(QStringLiteral("contextRef")).toString().toStdString();
    capture_ = Capture::Fact;
    captureDepth_ = depth_;
    text_.clear();
    switch (Nil()) {
        case 1:
            capture_ = Capture::None;  // a nil fact says nothing: not kept
            break;
        case -1:
            Refuse(kMsgImportXml, QuotedValue(fact_.element.name) + ": xsi:nil\n");
            break;
        default:
            break;
    }
}

// ix:nonFraction (a number, with format, scale and sign) or ix:nonNumeric (a text).
void DocumentReader::StartInlineFact() {
    const QXmlStreamAttributes attributes = xml_.attributes();
    const bool number = xml_.name() == u"nonFraction";
    QString uri, local;
    FilingElement e;
    if (!scopes_.Resolve(attributes.value(QStringLiteral("name")), uri, local) ||
        !taxonomies_.Of(uri, e.taxonomy)) {
        return;
    }
    e.name = local.toStdString();
    if (!IsMappedFact(e, number)) return;
    inlineNumber_ = number;
    negative_ = attributes.value(QStringLiteral("sign")) == u"-";
    scale_ = attributes.value(QStringLiteral("scale")).toString();
    format_.clear();
    formatKnown_ = true;
    if (const QStringView format = attributes.value(QStringLiteral("format")); !format.isEmpty()) {
        formatKnown_ = scopes_.Resolve(format, uri, format_) && uri.startsWith(kTransformations);
    }
    StartFact(std::move(e), number);
}

void DocumentReader::EndCapture() {
    const Capture capture = std::exchange(capture_, Capture::None);
    const QString text = text_.trimmed();
    text_.clear();
    if (capture == Capture::Instant || capture == Capture::Start || capture == Capture::End) {
        FilingDate date;
        if (!ParseCalendarDate(text.toStdString(), date)) {
            Refuse(kMsgImportBadDate,
                   QuotedValue(context_.id) + ": " + QuotedValue(text.toStdString()) + "\n");
            return;
        }
        if (capture == Capture::Start) {
            context_.start = date;
            hasStart_ = true;
        } else {
            context_.end = date;
            context_.instant = capture == Capture::Instant;
            hasEnd_ = true;
        }
    } else if (capture == Capture::Member) {
        // Only the consolidated/non-consolidated axis is understood; any other dimension
        // (a segment, a component of equity) makes the context one to ignore.
        QString dimUri, dimLocal, memUri, memLocal;
        if (!scopes_.Resolve(dimension_, dimUri, dimLocal) ||
            !scopes_.Resolve(text, memUri, memLocal) || !IsStatementTaxonomy(dimUri) ||
            dimLocal != u"ConsolidatedOrNonConsolidatedAxis" || !IsStatementTaxonomy(memUri)) {
            otherDimension_ = true;
        } else if (memLocal == u"NonConsolidatedMember") {
            context_.nonConsolidated = true;
        } else if (memLocal != u"ConsolidatedMember") {
            otherDimension_ = true;
        }
    } else if (capture == Capture::Fact) {
        std::string value = text.toStdString();
        if (result_.inlinePage) {
            if (!formatKnown_) return;  // a format the filings do not use: not guessed at
            std::string lexical;
            if (inlineNumber_ && InlineNumber(value, format_.toStdString(), scale_.toStdString(),
                                              negative_, lexical)) {
                value = std::move(lexical);
            } else if (!format_.isEmpty()) {
                return;  // a text with a format (a date in words): not read
            }
            // A number that does not read is handed over as written, so the mapping names it.
        }
        if (out_.facts.size() >= limits_.maxKept) {
            Refuse(kMsgImportTooManyFacts);
            return;
        }
        fact_.value = std::move(value);
        out_.facts.push_back(std::move(fact_));
    }
}

bool DocumentReader::Start() {
    if (++depth_ > limits_.maxDepth) {
        Refuse(kMsgImportTooDeep);
        return false;
    }
    scopes_.Push(xml_.namespaceDeclarations());
    const QStringView uri = xml_.namespaceUri(), name = xml_.name();
    if (depth_ == 1) {
        rootSeen_ = true;
        if (uri == kXbrli && name == u"xbrl") return true;
        if (uri == kXhtml && name == u"html") {
            result_.inlinePage = true;
            return true;
        }
        Refuse(kMsgImportNotFiling);
        return false;
    }
    const bool isInline = result_.inlinePage;
    if (capture_ != Capture::None) {
        // Markup inside a fact's text (ix:exclude is not part of it); a date or member
        // with elements inside is not one.
        if (capture_ != Capture::Fact) otherDimension_ = true;
        if (isInline && excludeDepth_ == 0 && IsInlineNamespace(uri) && name == u"exclude") {
            excludeDepth_ = depth_;
        }
    } else if (inContext_) {
        StartInContext();
    } else if (uri == kXbrli && name == u"context" && (isInline || depth_ == 2)) {
        StartContext();
    } else if (isInline) {
        if (!IsInlineNamespace(uri)) return true;
        if (name == u"header") result_.inlineHeader = true;
        if (name == u"nonFraction" || name == u"nonNumeric") StartInlineFact();
    } else if (FilingElement e; depth_ == 2 && taxonomies_.Of(uri, e.taxonomy)) {
        e.name = name.toString().toStdString();
        const bool numeric = xml_.attributes().hasAttribute(QStringLiteral("unitRef"));
        if (IsMappedFact(e, numeric)) StartFact(std::move(e), numeric);
    }
    return problem_.messageId == 0;
}

void DocumentReader::End() {
    if (capture_ != Capture::None && depth_ == captureDepth_) EndCapture();
    if (excludeDepth_ == depth_) excludeDepth_ = 0;
    if (inContext_ && depth_ == contextDepth_) EndContext();
    scopes_.Pop();
    --depth_;
}

DocumentRead DocumentReader::Read() {
    while (!xml_.atEnd() && problem_.messageId == 0) {
        const auto token = xml_.readNext();
        input_.TokenDone();
        switch (token) {
            case QXmlStreamReader::DTD:
            case QXmlStreamReader::EntityReference:
                // Entity declarations are never expanded: the document is refused as soon
                // as its DOCTYPE is seen.
                Refuse(kMsgImportDoctype);
                break;
            case QXmlStreamReader::StartElement:
                Start();
                break;
            case QXmlStreamReader::EndElement:
                End();
                break;
            case QXmlStreamReader::Characters:
                if (capture_ != Capture::None && excludeDepth_ == 0) {
                    text_ += xml_.text();
                    if (text_.size() > limits_.maxTokenBytes / 2) Refuse(kMsgImportTokenTooLarge);
                }
                break;
            default:
                break;
        }
    }
    if (input_.exceeded()) {
        result_.problem = LimitProblem(input_.limitHit());
    } else if (input_.failed()) {
        result_.problem = {readErrorMessage_, {}};
    } else if (problem_.messageId != 0) {
        result_.problem = std::move(problem_);
    } else if (!rootSeen_) {
        result_.problem = {kMsgImportNotFiling, {}};
    } else if (xml_.hasError()) {
        result_.problem = {kMsgImportXml, QStringLiteral("%1行 %2\n")
                                              .arg(xml_.lineNumber())
                                              .arg(xml_.errorString())
                                              .toStdString()};
        // A document that is not XML at all is not a filing.
        if (!rootSeen_) result_.problem = {kMsgImportNotFiling, {}};
    }
    return result_;
}

}  // namespace

FilingProblem LimitProblem(GuardedInput::Limit limit) {
    switch (limit) {
        case GuardedInput::Limit::Token:
            return {kMsgImportTokenTooLarge, {}};
        case GuardedInput::Limit::Attributes:
            return {kMsgImportTooManyAttributes, {}};
        default:
            return {kMsgImportTooLarge, {}};
    }
}

DocumentRead ReadXmlDocument(GuardedInput& input, FilingInstance& instance,
                             const FilingLimits& limits, int readErrorMessage) {
    return DocumentReader(input, instance, limits, readErrorMessage).Read();
}

FilingProblem ReadXbrlInstance(QIODevice& device, FilingInstance& instance,
                               const FilingLimits& limits) {
    GuardedInput input([&device](char* data, std::int64_t max) { return device.read(data, max); },
                       limits.maxBytes, limits.maxTokenBytes, limits.maxAttributes);
    DocumentRead read = ReadXmlDocument(input, instance, limits, kMsgImportOpen);
    if (read.problem.messageId == 0 && read.inlinePage && !read.inlineHeader) {
        read.problem = {kMsgImportNotFiling, {}};
    }
    return read.problem;
}

}  // namespace quorvex
