// The Setup menu's commands: each hands the open design to a setup manager
// and runs its operation. Their availability follows the frame's rules.
#pragma once

class CMainFrame;

void ConnectSetupCommands(CMainFrame& frame);
