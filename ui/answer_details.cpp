#include "answer_details.h"

#include "genotype_chances.h"

#include <QStringList>

#include <algorithm>

namespace {

QString Text(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString Percent(int quarters) {
    return QStringLiteral("%1 %").arg(quarters * 25);
}

// The two alleles of a genotype code, e.g. "A" and "0" for "2-A0".
std::array<QString, 2> Alleles(std::string_view code) {
    return {QString(QLatin1Char(code[2])), QString(QLatin1Char(code[3]))};
}

std::array<QString, 2> Alleles(std::int16_t index) {
    return Alleles(genetics::GenotypeCode.at(static_cast<std::size_t>(index - 1)));
}

// "AB 25 %" for each group a child can have, in the order O, A, B, AB.
QStringList Groups(const genetics::PairChances& chances, const QString& separator) {
    QStringList groups;
    for (std::size_t i = 0; i < genetics::AboGroups.size(); ++i)
        if (chances.groups.at(i) > 0)
            groups << Text(genetics::AboGroups.at(i)) + separator + Percent(chances.groups.at(i));
    return groups;
}

} // namespace

QString GenotypeMeaning(std::string_view code) {
    const auto* found = std::ranges::find(genetics::GenotypeCode, code);
    if (found == genetics::GenotypeCode.end())
        return {};
    const auto index = static_cast<std::size_t>(found - genetics::GenotypeCode.begin());
    const auto alleles = Alleles(code);
    return QStringLiteral("group %1, alleles %2 and %3")
        .arg(Text(genetics::AboGroup.at(index)), alleles[0], alleles[1]);
}

QString AnswerInWords(std::int16_t mother, std::int16_t father) {
    const genetics::PairChances* chances = genetics::Chances(mother, father);
    if (!chances)
        return {};
    QStringList children;
    for (const auto& [code, quarters] : chances->children)
        if (!code.empty())
            children << QStringLiteral("%1, %2, %3")
                            .arg(Text(code), GenotypeMeaning(code), Percent(quarters));
    return children.join(QStringLiteral("; "));
}

QString AnswerDetailsHtml(std::int16_t mother, std::int16_t father) {
    const genetics::PairChances* chances = genetics::Chances(mother, father);
    if (!chances)
        return {};
    QString html = QStringLiteral("<table cellspacing=0 cellpadding=1>");
    for (const auto& [code, quarters] : chances->children)
        if (!code.empty())
            html += QStringLiteral("<tr><td>%1</td><td align=right>&nbsp;%2</td></tr>")
                        .arg(Text(code), Percent(quarters));
    html += QStringLiteral("</table><p>Blood group %1</p>")
                .arg(Groups(*chances, QStringLiteral("&nbsp;")).join(QStringLiteral(", ")));
    const auto m = Alleles(mother);
    const auto f = Alleles(father);
    html += QStringLiteral("<table border=1 cellspacing=0 cellpadding=2>"
                           "<tr><td>mother \\ father</td><th>%1</th><th>%2</th></tr>")
                .arg(f[0], f[1]);
    for (std::size_t row = 0; row < 2; ++row)
        html += QStringLiteral("<tr><th>%1</th><td>%2</td><td>%3</td></tr>")
                    .arg(m.at(row), Text(chances->square.at(row * 2)),
                         Text(chances->square.at(row * 2 + 1)));
    return html + QStringLiteral("</table>");
}

QString AnswerDetailsInWords(std::int16_t mother, std::int16_t father) {
    const genetics::PairChances* chances = genetics::Chances(mother, father);
    if (!chances)
        return {};
    QStringList square;
    const auto m = Alleles(mother);
    const auto f = Alleles(father);
    for (std::size_t cell = 0; cell < chances->square.size(); ++cell)
        square << QStringLiteral("mother's %1 and father's %2 give %3")
                      .arg(m.at(cell / 2), f.at(cell % 2), Text(chances->square.at(cell)));
    return QStringLiteral("%1. Blood group: %2. Punnett square: %3.")
        .arg(AnswerInWords(mother, father),
             Groups(*chances, QStringLiteral(" ")).join(QStringLiteral(", ")),
             square.join(QStringLiteral("; ")));
}
