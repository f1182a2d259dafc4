// The editor started on fakes, as a journey's test sees it: the services a user reaches, and the few moves
// every journey makes (F2, Open through the dialog, the last thing said).
#pragma once
#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

struct EditorJourney : ::testing::Test {
    Started s;
    Editor& editor = s.editor();
    FakeFiles& files = s.fp.files;
    FakePrompts& prompts = s.fp.prompts;
    FakeFileDialogs& dialogs = s.fp.dialogs;
    OpenSslCrypto& crypto = s.fp.crypto;
    const Text& caption = s.host.window.caption;

    void F2() { editor.OnTextKeyDown(editor.ActiveEditorIndex(), kKeyF2, 0); }
    void Open(const Text& path) {
        dialogs.ChooseNext(path);
        editor.OnFileMenu(kMenuOpen);
    }
    Text LastMessage() const { return prompts.messages.empty() ? Text() : prompts.messages.back().text; }
};
