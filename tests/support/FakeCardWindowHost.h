#pragma once

#include "cardwindow/CardWindowHost.h"

namespace korva::test {

// Counts what a card window asked of its frame window, and hands it the
// recovery store a test gives.
class FakeCardWindowHost : public CardWindowHost {
public:
    RecoveryStore* recoveryStore = nullptr;
    int openCalls = 0;
    int exitCalls = 0;
    int helpCalls = 0;
    int versionCalls = 0;

    void OpenCardWindow() override { ++openCalls; }
    void ExitProgram() override { ++exitCalls; }
    void ShowHelp() override { ++helpCalls; }
    void ShowVersion() override { ++versionCalls; }
    RecoveryStore* getRecoveryStore() override { return recoveryStore; }
};

}  // namespace korva::test
