#include "app/mainform.h"

// The two file lists, their move buttons, actions and pop-up menus connect here.
void Tf_mainform::setupFileLists() {}
