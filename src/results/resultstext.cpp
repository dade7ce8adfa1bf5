#include "resultstext.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace kr5 {

namespace {

QString csvField(const QVariant& value) {
    if (value.isNull()) {
        return {};
    }
    QString text = value.toString();
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
        text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))) {
        text.replace(QLatin1String("\""), QLatin1String("\"\""));
        text = QLatin1Char('"') + text + QLatin1Char('"');
    }
    return text;
}

}  // namespace

QByteArray tableCsv(const TestTable& table) {
    QString text = table.columns.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    for (const QVariantList& row : table.rows) {
        QStringList fields;
        for (const QVariant& value : row) {
            fields << csvField(value);
        }
        text += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

QByteArray tableJson(const TestTable& table) {
    QJsonArray tests;
    for (const QVariantList& row : table.rows) {
        QJsonObject test;
        for (qsizetype i = 0; i < table.columns.size() && i < row.size(); ++i) {
            // A null of a number column would come out as 0: it stays null.
            test.insert(table.columns[i], row[i].isNull() ? QJsonValue(QJsonValue::Null)
                                                          : QJsonValue::fromVariant(row[i]));
        }
        tests.append(test);
    }
    return QJsonDocument(tests).toJson(QJsonDocument::Indented);
}

}  // namespace kr5
