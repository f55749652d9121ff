#include "link/poll_cycle.h"

#include "chip/value_format.h"
#include "link/board_link.h"

namespace vrx {

PollCycle::PollCycle(BoardLink& link) : link_(link) {
    for (int i = 0; i < kPollSlotCount; ++i) {
        const PollSlotInfo& info = kPollSlots[static_cast<size_t>(i)];
        slots_[static_cast<size_t>(i)].ReadByte = info.ReadByte;
        slots_[static_cast<size_t>(i)].SignBit = info.SignBit;
        slots_[static_cast<size_t>(i)].PageIndex = info.PageIndex;
    }
}

void PollCycle::Tick() {
    if (TimerBusy) {
        return; // entered again from a message box that a send opened
    }
    TimerBusy = true;
    if (!link_.AnswerReceived) {
        link_.CheckReplyTimeout();
    } else if (link_.PollingEnabled && link_.ReadyToSend()) {
        // The queue is drained, so the send below does not wait: a tick never blocks.
        link_.AnswerReceived = false;
        if (PollIndex == 1) {
            // A pass ends where the next begins.
            if (const auto row = pass_.Finish()) {
                if (plot_ != nullptr) {
                    plot_->AddPass(*row);
                }
                if (OnPass) {
                    OnPass(*row);
                }
            }
        }
        if (IsQuerySlot(PollIndex)) {
            const uint8_t query = QueryByteOfSlot(PollIndex);
            link_.SendBoardBytes(&query, 1);
        } else {
            link_.SendTelegram(static_cast<uint8_t>(Slot(PollIndex).ReadByte), 0, 0, 0);
        }
        link_.LastSendTick = link_.Now();
    }
    TimerBusy = false;
}

void PollCycle::DistributeReply(const Answer& reply) {
    const int index = PollIndex;
    const PollSlot& slot = Slot(index);
    const int32_t value = SignExtend(reply.Value(), slot.SignBit);
    const bool showRegister =
        slot.RegisterDisplay && registers_ != nullptr && registers_->IsShown();
    QString text;
    if (slot.MainDisplay || showRegister) {
        text = QString::fromStdString(FormatSlotValue(value, slot.SignBit));
    }
    if (slot.MainDisplay) {
        slot.MainDisplay(text);
    }
    if (slot.OnAnswer) {
        slot.OnAnswer(reply.a1, reply.a2, reply.a3);
    }
    if (showRegister) {
        slot.RegisterDisplay(text);
    }
    if (!IsQuerySlot(index)) {
        pass_.Take(index, value, reply.a0);
        if (ShowStatus) {
            ShowStatus(reply.a0);
        }
    }
}

bool PollCycle::Polled(const PollSlot& slot) const {
    if (slot.PageIndex == kPageAlways) {
        return true;
    }
    return registers_ != nullptr && registers_->IsShown() &&
           slot.PageIndex == registers_->ActivePage();
}

void PollCycle::Advance(bool detecting) {
    if (PollIndex == kLastPollSlot || detecting) {
        PollIndex = 0;
        return;
    }
    // The always-polled slots end the search; the bound only guards a table emptied by mistake.
    for (int step = 0; step < kPollSlotCount; ++step) {
        PollIndex = (PollIndex + 1) % kPollSlotCount;
        if (Polled(Slot(PollIndex))) {
            return;
        }
    }
}

} // namespace vrx
