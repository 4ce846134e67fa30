#pragma once
// The dialog service tests and benchmarks use in place of real boxes.

#include <deque>
#include <vector>

#include "platform/Dialogs.h"

namespace vyk {

// Records each request and gives the planned answers in order. With no
// answer planned it gives the most cautious one the box offers, as a box
// closed without a choice would.
class ScriptedDialogService : public DialogService {
public:
    void Plan(MsgAnswer answer) { planned_.push_back(answer); }

    MsgAnswer MsgBox(const MsgRequest& request) override {
        asked.push_back(request);
        if (planned_.empty()) return CautiousAnswer(request.buttons);
        const MsgAnswer answer = planned_.front();
        planned_.pop_front();
        return answer;
    }

    std::vector<MsgRequest> asked;

private:
    std::deque<MsgAnswer> planned_;
};

}  // namespace vyk
