#include "schematics/SchemDlg.h"
const std::vector<SchematicClass>& PrimarySectionSchematics() { static const std::vector<SchematicClass> v; return v; }
const std::vector<SchematicClass>& FirstStageFilterSchematics() { static const std::vector<SchematicClass> v; return v; }
const std::vector<SchematicClass>& SecondStageFilterSchematics() { static const std::vector<SchematicClass> v; return v; }
const std::vector<SchematicClass>& LoadNetworkSchematics() { static const std::vector<SchematicClass> v; return v; }
const std::vector<SchematicClass>& VoltageErrorAmpSchematics() { static const std::vector<SchematicClass> v; return v; }
