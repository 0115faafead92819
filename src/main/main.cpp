// Power Quorra Designer.
#include "app/DesignDoc.h"
#include "platform/qt/QtProgram.h"

int main(int argc, char** argv) {
    CDesignDocFactory documents;
    return fw::qt::RunProgram(argc, argv, documents);
}
