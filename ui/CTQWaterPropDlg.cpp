#include "ui/CTQWaterPropDlg.h"

CTQWaterPropDlg::~CTQWaterPropDlg() = default;
