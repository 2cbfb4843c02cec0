// Driving modal dialogs, message boxes and property sheets from a test, with no display.
//
// A test gives the code that opens a modal window and one step per dialog that will
// appear on the calling thread, in the order they appear. A CBT hook notices each new
// dialog; a thread timer, which the dialog's own modal loop dispatches, runs that
// dialog's step once the dialog is visible. A step sets controls and ends the dialog,
// usually by pressing a button; a dialog that a step opens gets the next step at once. A dialog that is still open when the time runs out is
// ended with -2, so a test never hangs; Run reports it.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace qxtest {

class DialogDriver {
public:
    using Step = std::function<void(HWND dialog)>;

    // Adds the step for the next dialog that appears.
    DialogDriver &Then(Step step);

    // Runs `open` (which shows the modal window and returns its result), driving each
    // dialog that appears meanwhile. Returns what `open` returned.
    INT_PTR Run(const std::function<INT_PTR()> &open, DWORD timeoutMs = 10000);

    int StepsRun() const { return stepsRun_; }
    bool TimedOut() const { return timedOut_; }
    // Dialogs seen during the last Run, in order of appearance.
    const std::vector<HWND> &Dialogs() const { return dialogs_; }

private:
    static LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Tick();

    std::vector<Step> steps_;
    std::vector<HWND> dialogs_;
    int stepsRun_ = 0;
    bool timedOut_ = false;
    DWORD deadline_ = 0;
};

// While it lives, the progress box of the calling thread is cancelled as soon as it is
// made (its Cancel is pressed), so long work can be shown to stop at its first poll.
class CancelProgressBoxes {
public:
    CancelProgressBoxes();
    ~CancelProgressBoxes();
    bool Installed() const { return hook_ != nullptr; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK hook_;
};

// Control helpers. `dialog` is the dialog, `id` the control id. Each sends the
// notification a user's action would send to the dialog, so handlers run as they would.
void SetText(HWND dialog, int id, const std::string &text);
std::string GetText(HWND dialog, int id);
void Click(HWND dialog, int id);                   // a button press: BN_CLICKED
void SetCheck(HWND dialog, int id, bool checked);  // as a click would leave it
bool IsChecked(HWND dialog, int id);
void ComboSelect(HWND dialog, int id, int index);  // CBN_SELCHANGE
int ComboSelection(HWND dialog, int id);
void ListSelect(HWND dialog, int id, int index);   // LBN_SELCHANGE
int ListSelection(HWND dialog, int id);
bool IsEnabled(HWND dialog, int id);

// Text of a window (caption of a dialog or message box, text of a static control).
std::string WindowText(HWND hwnd);
// The static text of a message box (its message).
std::string MessageBoxText(HWND box);

} // namespace qxtest
