// Power Quorra Designer.
#include "app/StandInDoc.h"
#include "platform/qt/QtProgram.h"

int main(int argc, char** argv) {
    // Until the design document is linked, the program runs on a stand-in
    // that gives an empty new design.
    CStandInDocFactory documents;
    return fw::qt::RunProgram(argc, argv, documents);
}
