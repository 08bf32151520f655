#pragma once

#include "cardwindow/CardWindowHost.h"

namespace korva::test {

// Counts what a card window asked of its frame window.
class FakeCardWindowHost : public CardWindowHost {
public:
    int openCalls = 0;
    int newCalls = 0;
    int exitCalls = 0;
    int helpCalls = 0;
    int sampleCalls = 0;
    int versionCalls = 0;
    int editorCalls = 0;
    int recordCalls = 0;

    void OpenCardWindow() override { ++openCalls; }
    void NewCardWindow() override { ++newCalls; }
    void ExitProgram() override { ++exitCalls; }
    void ShowHelp() override { ++helpCalls; }
    void OpenSampleDeck() override { ++sampleCalls; }
    void ShowVersion() override { ++versionCalls; }
    void OpenCardEditor(frmCard& /*card*/) override { ++editorCalls; }
    void OpenRecordWindow(frmCard& /*card*/) override { ++recordCalls; }
};

}  // namespace korva::test
