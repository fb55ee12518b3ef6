// The filer's linkbases beside its instance: presentation and calculation arcs, and the
// Japanese standard labels of its own elements. Locators name elements by the schema's
// fragment ("…/jppfs_cor_2023-12-01.xsd#jppfs_cor_NetSales"); arcs join locators of one
// extended link and are resolved at its end.
#include <QXmlStreamReader>
#include <map>

#include "engine/import/FilingReaders.h"

namespace quorvex {
namespace {

const QString kLink = QStringLiteral("http://www.xbrl.org/2003/linkbase");
const QString kXlink = QStringLiteral("http://www.w3.org/1999/xlink");
const QString kXml = QStringLiteral("http://www.w3.org/XML/1998/namespace");
const QString kStandardLabel = QStringLiteral("http://www.xbrl.org/2003/role/label");

// The element a locator points to: the taxonomy by the schema's path, the local name
// after the last "_" of the fragment (EDINET's element names have none).
bool ElementOfHref(QStringView href, FilingElement& element) {
    const auto hash = href.indexOf(QLatin1Char('#'));
    if (hash < 0) return false;
    const QStringView schema = href.left(hash), fragment = href.mid(hash + 1);
    const auto us = fragment.lastIndexOf(QLatin1Char('_'));
    if (us < 0 || us + 1 == fragment.size()) return false;
    struct Known {
        const char* path;
        FilingTaxonomy taxonomy;
    };
    static const Known kKnown[] = {{"/taxonomy/jppfs/", FilingTaxonomy::Jppfs},
                                   {"/taxonomy/jpigp/", FilingTaxonomy::Jpigp},
                                   {"/taxonomy/jpdei/", FilingTaxonomy::Jpdei},
                                   {"/taxonomy/jpcrp/", FilingTaxonomy::Jpcrp}};
    bool found = false;
    for (const Known& k : kKnown) {
        if (schema.contains(QLatin1String(k.path))) {
            element.taxonomy = k.taxonomy;
            found = true;
        }
    }
    if (!found) {
        // The filer's own schema sits beside the linkbase; any other site is not EDINET's.
        if (schema.contains(QLatin1String("://")) &&
            !schema.startsWith(QLatin1String("http://disclosure.edinet-fsa.go.jp/"))) {
            return false;
        }
        element.taxonomy = FilingTaxonomy::Filer;
    }
    element.name = fragment.mid(us + 1).toString().toStdString();
    return true;
}

struct PendingArc {
    QString from, to;
    double order = 0, weight = 0;
    bool calculation = false, label = false;
};

}  // namespace

FilingProblem ReadLinkbase(GuardedInput& input, FilingLinkbases& linkbases,
                           const FilingLimits& limits, int readErrorMessage) {
    QXmlStreamReader xml(&input);
    int depth = 0;
    FilingProblem problem;
    QString role;
    std::map<QString, FilingElement> locators;
    std::map<QString, QString> labels;
    std::vector<PendingArc> arcs;
    QString labelName, labelText;
    bool inLabel = false;
    std::size_t kept = 0;
    const auto endLink = [&]() {
        for (const PendingArc& a : arcs) {
            const auto from = locators.find(a.from);
            if (from == locators.end()) continue;
            if (a.label) {
                const auto text = labels.find(a.to);
                if (from->second.taxonomy == FilingTaxonomy::Filer && text != labels.end()) {
                    linkbases.labels.emplace_back(from->second,
                                                  text->second.trimmed().toStdString());
                }
                continue;
            }
            const auto to = locators.find(a.to);
            if (to == locators.end()) continue;
            FilingArc arc{role.toStdString(), from->second, to->second, a.order, a.weight};
            (a.calculation ? linkbases.calculation : linkbases.presentation)
                .push_back(std::move(arc));
        }
        locators.clear();
        labels.clear();
        arcs.clear();
    };
    while (!xml.atEnd() && problem.messageId == 0) {
        const auto token = xml.readNext();
        input.TokenDone();
        if (token == QXmlStreamReader::DTD || token == QXmlStreamReader::EntityReference) {
            problem = {kMsgImportDoctype, {}};
        } else if (token == QXmlStreamReader::StartElement) {
            if (++depth > limits.maxDepth) {
                problem = {kMsgImportTooDeep, {}};
                break;
            }
            if (xml.namespaceUri() != kLink) continue;
            const QXmlStreamAttributes a = xml.attributes();
            const QStringView name = xml.name();
            if (depth == 2) {
                role = a.value(kXlink, QStringLiteral("role")).toString();
            } else if (name == u"loc") {
                FilingElement e;
                if (ElementOfHref(a.value(kXlink, QStringLiteral("href")), e)) {
                    locators.emplace(a.value(kXlink, QStringLiteral("label")).toString(), e);
                }
            } else if (name == u"presentationArc" || name == u"calculationArc" ||
                       name == u"labelArc") {
                if (++kept > limits.maxKept) {
                    problem = {kMsgImportTooManyFacts, {}};
                    break;
                }
                arcs.push_back({a.value(kXlink, QStringLiteral("from")).toString(),
                                a.value(kXlink, QStringLiteral("to")).toString(),
                                a.value(QStringLiteral("order")).toDouble(),
                                a.value(QStringLiteral("weight")).toDouble(),
                                name == u"calculationArc", name == u"labelArc"});
            } else if (name == u"label" && a.value(kXml, QStringLiteral("lang")) == u"ja" &&
                       a.value(kXlink, QStringLiteral("role")) == kStandardLabel) {
                inLabel = true;
                labelName = a.value(kXlink, QStringLiteral("label")).toString();
                labelText.clear();
            }
        } else if (token == QXmlStreamReader::Characters && inLabel) {
            labelText += xml.text();
            if (labelText.size() > limits.maxTokenBytes / 2)
                problem = {kMsgImportTokenTooLarge, {}};
        } else if (token == QXmlStreamReader::EndElement) {
            if (inLabel && xml.name() == u"label") {
                inLabel = false;
                labels.emplace(labelName, labelText);
            }
            if (depth == 2) endLink();
            --depth;
        }
    }
    if (input.exceeded()) return LimitProblem(input.limitHit());
    if (input.failed()) return {readErrorMessage, {}};
    if (problem.messageId != 0) return problem;
    if (xml.hasError()) {
        return {
            kMsgImportXml,
            QStringLiteral("%1行 %2\n").arg(xml.lineNumber()).arg(xml.errorString()).toStdString()};
    }
    linkbases.present = true;
    return {};
}

}  // namespace quorvex
