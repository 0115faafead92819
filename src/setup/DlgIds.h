// Template and control ids of the setup dialogs. Ids shared by several
// forms (the source fields, the transient list and its buttons) are defined
// once here.
#pragma once

#include "platform/core/Types.h"

// Templates.
constexpr UINT IDD_FEEDBACK_CURRENT_SOURCE = 211;
constexpr UINT IDD_CURRENT_SOURCE_PRI_CHOKE = 212;
constexpr UINT IDD_CURRENT_SOURCE_CHOKE_CAP = 213;
constexpr UINT IDD_CURRENT_SOURCE = 214;
constexpr UINT IDD_DC_CURRENT_SOURCE = 215;
constexpr UINT IDD_TIME_GRAPH_CFG = 229;
constexpr UINT IDD_FREQ_GRAPH_CFG = 230;
constexpr UINT IDD_TRANSIENT_DATA = 264;
constexpr UINT IDD_VOLTAGE_SOURCE = 271;
constexpr UINT IDD_DC_VOLTAGE_SOURCE = 272;

// The right-click menus of the editing dialogs (popup 0) and its "OK".
constexpr UINT IDR_DIALOG_POPUPS = 104;
constexpr UINT ID_POPUP_OK = 32821;

// Parts database buttons.
constexpr int IDC_DB_LOAD = 1262;
constexpr int IDC_DB_STORE = 1263;

// Source fields and the transient list.
constexpr int IDC_AC_PEAK_MAGNITUDE = 1180;
constexpr int IDC_AC_FREQUENCY = 1181;
constexpr int IDC_DC_MAGNITUDE = 1182;
constexpr int IDC_TRANSIENT_ADD = 1183;
constexpr int IDC_TRANSIENT_DELETE = 1184;
constexpr int IDC_TRANSIENT_MODIFY = 1185;
constexpr int IDC_TRANSIENT_LIST = 1186;
constexpr int IDC_TRANSIENT_TIME = 1187;
constexpr int IDC_TRANSIENT_MAGNITUDE = 1188;
constexpr int IDC_TRANSIENT_UNITS = 1273;

// Current-sense choice.
constexpr int IDC_SENSE_PRIMARY_SWITCH = 1200;
constexpr int IDC_SENSE_CHOKE = 1201;
constexpr int IDC_SENSE_OUTPUT_CAPACITOR = 1202;

// Graph settings.
constexpr int IDC_GRAPH_TITLE = 1460;
constexpr int IDC_GRAPH_TRACE_BLUE = 1461;     // 1461-1465 trace colour
constexpr int IDC_GRAPH_AXIS_BLUE = 1466;      // 1466-1470 axis colour
constexpr int IDC_GRAPH_X_LABEL = 1471;
constexpr int IDC_GRAPH_X_MIN = 1472;
constexpr int IDC_GRAPH_X_MAX = 1473;
constexpr int IDC_GRAPH_X_TICKS = 1474;
constexpr int IDC_GRAPH_Y_LABEL = 1475;
constexpr int IDC_GRAPH_Y_MIN = 1476;
constexpr int IDC_GRAPH_Y_MAX = 1477;
constexpr int IDC_GRAPH_Y_TICKS = 1478;
constexpr int IDC_GRAPH_GRID_NONE = 1479;      // 1479-1482 grid type
constexpr int IDC_GRAPH_GRID_OFF_WHITE = 1483; // 1483-1485 grid colour
