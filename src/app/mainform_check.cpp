#include "app/mainform.h"
#include "engine/sheet_check.h"

// The sheet check button: the engine examines the consolidation list through the window's run
// host, which marks and removes the failing entries in ListBox1.

void Tf_mainform::setupSheetCheck() {
    connect(SpeedButton17, &QToolButton::clicked, this, &Tf_mainform::SpeedButton17Click);
}

void Tf_mainform::SpeedButton17Click() {
    runEngine([](engine::RunHost& host) { engine::sheet_check(host); });
}
