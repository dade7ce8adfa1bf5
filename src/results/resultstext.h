// A listing of the store's tests as text for the command line: CSV (RFC 4180, a header
// line first) or a JSON array of objects, one per test, named by the columns.
#pragma once

#include "results/resultsstore.h"

#include <QByteArray>

namespace kr5 {

QByteArray tableCsv(const TestTable& table);
QByteArray tableJson(const TestTable& table);

}  // namespace kr5
