// The results store from the command line, without a display: `kr5au --results` prints
// its tests as CSV or JSON, filtered by object, type and date; `kr5au --store FILE.csv`
// stores a test recorded before the store was kept, read as File > Open reads it.
#pragma once

#include "app/commandline.h"

namespace kr5 {

// Each returns the exit code and says on standard error why it failed.
int printResults(const CommandLine& line);
int storeRecordedFile(const QString& measurementPath);

}  // namespace kr5
