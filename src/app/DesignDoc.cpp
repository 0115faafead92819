#include "app/DesignDoc.h"

WORD CDocumentHost::GetControlSectionTopology() { return Design().GetControlSection()->GetTopology(); }

WORD CDocumentHost::GetNumberOfOutputs() { return Design().GetRequirements()->GetOutputCount(); }
