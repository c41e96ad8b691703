#pragma once
#include <windows.h>

#include <cstdint>

#include "dialog/ui/containers_win32.h"
#include "dialog/ui/controls_win32.h"
#include "dialog/ui/list_view_win32.h"

class TMonitorLink;
class TWindowHost;

// The group " Управление (команды) " of the "Дополнительно" page: the custom commands of
// "CustCmds.ups", run, made, changed and deleted. The table itself is the host's
// (Commands()), which the event editor offers too; after every change it is written
// whole, read back from the file and the monitor is told to reload it.
class TCommandList {
public:
    TCommandList(TWindowHost& host, TMonitorLink& link) : host_(host), link_(link) {}
    bool Create(HWND parent, const TRect& rect);
    // Loads "CustCmds.ups" into the main window's table and the list.
    void Load();
    void OnLinkState(bool up);

    // The buttons' work.
    void Execute();
    void New();
    void Change();
    void Delete();

private:
    // The table into the file, back from it, into the list, and the monitor told.
    void Store(int selectId);
    void Refresh(int selectId);
    // The identifier of the selected row; false when none is selected.
    bool SelectedId(std::uint16_t& id) const;

    TWindowHost& host_;
    TMonitorLink& link_;
    TContainer group_;
    TListView list_;
    TButton execute_, new_, delete_, edit_;
};
