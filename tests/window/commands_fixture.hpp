#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "clipboard.hpp"
#include "kezurin/text_host.hpp"
#include "window_fixture.hpp"

namespace kezurin::testing {

// The real window with the run's message box and the shell recorded, and
// the input pane's change reports counted.
class CommandTest : public WindowTest {
protected:
    struct Message {
        std::string text;
        std::string outputThen;  // Memo2 while the box was up
        std::string captionThen;
    };
    struct OpenedAddress {
        HWND owner;
        std::string address;
    };

    void SetUp() override {
        WindowTest::SetUp();
        form->SetMessageDisplay([this](std::string_view text) {
            messages.push_back({std::string(text), WindowText(form->Memo2()), WindowText(form->Handle())});
        });
        form->SetAddressOpener([this](HWND owner, const std::string& address) {
            opened.push_back({owner, address});
        });
        form->Bind(TMainForm1::Id::Memo1, [this](HWND sender) {
            ++changeReports;
            form->Memo1Change(sender);
        });
    }

    // A press of a button as the mouse gives it.
    void Click(HWND button) {
        SendMessageA(button, BM_CLICK, 0, 0);
        Pump();
    }

    // Replaces the input as an edit of the user does: with a change report
    // (setting a multi-line edit's text directly raises none).
    void SetInput(const std::string& text) {
        SendMessageA(form->Memo1(), EM_SETSEL, 0, -1);
        SendMessageA(form->Memo1(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
        Pump();
    }

    static void Type(HWND edit, char character) {
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(character), 1);
        Pump();
    }

    // What the engine's in-memory host makes of a text.
    static std::string RemovedInMemory(const std::string& input) {
        TextHost host(input);
        RunRemoval(host);
        return host.OutputText();
    }

    bool RemovalEnabled() const { return IsWindowEnabled(form->Button1()) != FALSE; }
    bool CopyEnabled() const { return IsWindowEnabled(form->Button3()) != FALSE; }

    int changeReports = 0;
    std::vector<Message> messages;
    std::vector<OpenedAddress> opened;
};

}  // namespace kezurin::testing
