// The game's window: it shows the board, the caption and the menu bar the controller describes,
// and hands every click, pointer move, key and menu choice to the controller. It decides
// nothing about the game.
#pragma once

#include <windows.h>

#include "game/GameController.h"
#include "win/Board.h"
#include "win/Pictures.h"

namespace kov::win {

// The window class a later start looks for.
inline constexpr const wchar_t* WindowClass = L"Kovelint.MainWindow";

class MainWindow {
  public:
    MainWindow(HINSTANCE instance, GameController& game, const PictureSet& pictures);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window with the first game drawn and shows it; false if Windows refuses.
    bool Create(int show);

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
    LRESULT Handle(UINT message, WPARAM w, LPARAM l);

    // Draws what the controller says changed since the last call.
    void Apply();
    void PaintWholeBoard();
    int MenuBarWidth() const;
    void FitToBoard(POINT at);
    void UpdateScrollBars();
    void ScrollTo(int x, int y);
    void ScrollBy(int bar, int code);
    void ReportStillPointer();
    POINT ToBoard(LPARAM clientPoint) const;
    void OnPaint();
    void OnDpiChanged(UINT dpi, const RECT& suggested);

    HINSTANCE instance_;
    GameController& game_;
    const PictureSet& pictures_;
    HWND window_ = nullptr;
    HMENU menu_ = nullptr;
    BoardBitmap board_;
    UINT dpi_ = 96;
    int scale_ = 1;
    POINT scroll_{0, 0};    // device pixels of the board left and above the client area
    int wheel_ = 0;         // wheel movement not yet turned into lines
    bool fitting_ = false;  // the window is being sized to the board: its bars wait till then
    bool updatingBars_ = false;
};

}  // namespace kov::win
