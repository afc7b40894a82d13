#include "answer_details.h"

#include "answer_meaning.h"
#include "genotype_chances.h"

namespace {

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QString AnswerDetailsHtml(std::int16_t mother, std::int16_t father) {
    const genetics::PairChances* chances = genetics::Chances(mother, father);
    if (!chances)
        return {};
    QString html = QStringLiteral("<table cellspacing=0 cellpadding=1>");
    for (const auto& [code, quarters] : chances->children)
        if (!code.empty())
            html += QStringLiteral("<tr><td>%1</td><td align=right>&nbsp;%2</td></tr>")
                        .arg(Text(code), Text(meaning::Percent(quarters)));
    html += QStringLiteral("</table><p>Blood group %1</p>")
                .arg(Text(meaning::GroupsWithChances(mother, father, "&nbsp;")));
    const auto m = meaning::Alleles(mother);
    const auto f = meaning::Alleles(father);
    html += QStringLiteral("<table border=1 cellspacing=0 cellpadding=2>"
                           "<tr><td>mother \\ father</td><th>%1</th><th>%2</th></tr>")
                .arg(Text(f[0]), Text(f[1]));
    for (std::size_t row = 0; row < 2; ++row)
        html += QStringLiteral("<tr><th>%1</th><td>%2</td><td>%3</td></tr>")
                    .arg(Text(m.at(row)), Text(chances->square.at(row * 2)),
                         Text(chances->square.at(row * 2 + 1)));
    return html + QStringLiteral("</table>");
}
