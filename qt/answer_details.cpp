#include "answer_details.h"

#include "answer_meaning.h"

namespace {

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QString AnswerDetailsHtml(std::int16_t mother, std::int16_t father) {
    const meaning::AnswerTable table = meaning::AnswerDetailsTable(mother, father);
    if (table.children.empty())
        return {};
    QString html = QStringLiteral("<table cellspacing=0 cellpadding=1>");
    for (const auto& [code, chance] : table.children)
        html += QStringLiteral("<tr><td>%1</td><td align=right>&nbsp;%2</td></tr>")
                    .arg(Text(code), Text(chance));
    html += QStringLiteral("</table><p>Blood group %1</p>")
                .arg(Text(meaning::GroupsWithChances(mother, father, "&nbsp;")));
    // The alleles head the square's rows and columns; its corner says which parent is which.
    html += QStringLiteral("<table border=1 cellspacing=0 cellpadding=2>");
    for (std::size_t row = 0; row < table.square.size(); ++row) {
        const auto& [first, left, right] = table.square.at(row);
        const QString side = row == 0 ? QStringLiteral("td") : QStringLiteral("th");
        const QString cell = row == 0 ? QStringLiteral("th") : QStringLiteral("td");
        html += QStringLiteral("<tr><%1>%3</%1><%2>%4</%2><%2>%5</%2></tr>")
                    .arg(side, cell, Text(first), Text(left), Text(right));
    }
    return html + QStringLiteral("</table>");
}
