#include "app/StandInDoc.h"

#include "platform/ui/Services.h"

BOOL CStandInDocument::OnOpenDocument(const std::string& path) {
    fw::MessageBox("The design file could not be opened:\n" + path +
                   "\n\nThis build of the program cannot read design files yet.");
    return FALSE;
}

BOOL CStandInDocument::OnSaveDocument(const std::string& path) {
    fw::MessageBox("The design could not be saved to:\n" + path +
                   "\n\nThis build of the program cannot write design files yet.");
    return FALSE;
}
