#include "app/app_messages.h"
#include "app/mainform.h"
#include "app/window_state.h"
#include "engine/sheet_check.h"
#include "project/run_method.h"

// The sheet check button: the engine examines the consolidation list through the window's run
// host, which marks and removes the failing entries in ListBox1. With CheckBox3 ticked it
// compares every workbook with the first one's form too; the option outlives the window.

void Tf_mainform::setupSheetCheck() {
    connect(SpeedButton17, &QToolButton::clicked, this, &Tf_mainform::SpeedButton17Click);
    setHint(CheckBox3, app::msg::kHintFormCheck);
    CheckBox3->setChecked(app::savedFormCheck());
    connect(CheckBox3, &QCheckBox::toggled, this, [](bool on) { app::saveFormCheck(on); });
}

void Tf_mainform::SpeedButton17Click() {
    std::optional<engine::form::FormMethod> form;
    const int index = rg_sheet->itemIndex();
    if (CheckBox3->isChecked() && project::isMethodIndex(index))
        form = project::formMethodOf(project::methodOfIndex(index));
    runEngine([form](engine::RunHost& host) { engine::sheet_check(host, form); });
}
