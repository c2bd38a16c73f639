#include "ui/CTQSteamPropDlg.h"

CTQSteamPropDlg::~CTQSteamPropDlg() = default;
