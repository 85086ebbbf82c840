#include "platform/MessageBox.h"
void showMessageBox(const char*, const char*) {}
