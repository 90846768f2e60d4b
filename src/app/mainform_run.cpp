#include "app/mainform.h"

// The run button, the sheet check, the log and the progress display connect here.
void Tf_mainform::setupRunArea() {}
