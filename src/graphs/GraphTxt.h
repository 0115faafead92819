// Saving the graph text to a file: built whole in memory, then written beside the target and
// renamed over it, so a failed write leaves no half file and says so (52164).
#pragma once

#include <ctime>
#include <string>

#include "platform/core/Types.h"

class CAnalysisConfig;
class CGraphMgr;

// TRUE when the file holds the whole text; FALSE after the user was told.
BOOL SaveGraphsAsTextFile(const CGraphMgr& mgr, const std::string& target, const CAnalysisConfig& config,
                          const std::string& pathName, const std::tm& now);
