#include "sim/vrx630_model.h"

#include "chip/register_map.h"

namespace vrx::sim {

namespace {

const RegisterDef* GlobalDef(unsigned index) {
    for (const RegisterDef& def : GlobalRegisters()) {
        if (def.index == index) {
            return &def;
        }
    }
    return nullptr;
}

} // namespace

Answer Vrx630Model::Execute(const Telegram& telegram) {
    uint32_t value = 0;
    if (telegram.IsRam()) {
        const auto word = static_cast<size_t>(telegram.RamWord());
        if (telegram.IsRead()) {
            value = ram_[word];
        } else {
            ram_[word] = static_cast<uint16_t>(telegram.Data() & 0xFFFF);
        }
    } else if (telegram.IsRead()) {
        value = ReadRegister(telegram.UnitSelect(), telegram.RegisterIndex());
    } else {
        WriteRegister(telegram.UnitSelect(), telegram.RegisterIndex(), telegram.Data());
    }
    // The status reflects the state after the telegram, so a write of X_TARGET equal to
    // X_ACTUAL answers "reached" at once.
    return Answer::Make(StatusByte(), value);
}

void Vrx630Model::Advance(int milliseconds) {
    for (int ms = 0; ms < milliseconds; ms += kTickMs) {
        for (MotorAxis& motor : motors_) {
            motor.Tick();
        }
        coverWaiting_ = false;
        elapsedMs_ += kTickMs;
    }
}

void Vrx630Model::SetClockMhz(int mhz) {
    for (MotorAxis& motor : motors_) {
        motor.SetClockMhz(mhz);
    }
}

uint8_t Vrx630Model::StatusByte() const {
    uint8_t status = 0;
    bool interrupt = false;
    for (int m = 0; m < kMotorCount; ++m) {
        const MotorAxis& motor = Motor(m);
        if (motor.TargetReached()) {
            status |= StatusTargetReached(m);
        }
        if (motor.ReferenceSwitch()) {
            status |= StatusReferenceSwitch(m);
        }
        interrupt = interrupt || motor.InterruptPending();
    }
    if (coverWaiting_) {
        status |= kStatusCoverWaiting;
    }
    if (interrupt) {
        status |= kStatusInterrupt;
    }
    return status;
}

uint32_t Vrx630Model::ReadRegister(unsigned unit, unsigned index) const {
    if (unit == GlobalUnit) {
        return ReadGlobal(index);
    }
    if (index >= kMotorRegisterCount) {
        return 0;
    }
    return Motor(static_cast<int>(unit)).Read(static_cast<MotorReg>(index));
}

void Vrx630Model::WriteRegister(unsigned unit, unsigned index, uint32_t data) {
    if (unit == GlobalUnit) {
        WriteGlobal(index, data);
    } else if (index < kMotorRegisterCount) {
        Motor(static_cast<int>(unit)).Write(static_cast<MotorReg>(index), data);
    }
}

uint32_t Vrx630Model::ReadGlobal(unsigned index) const {
    switch (static_cast<GlobalReg>(index)) {
    case GlobalReg::TelegramLowWord:
        return lowWord_;
    case GlobalReg::TelegramHighWord:
        return highWord_;
    case GlobalReg::RefSwitchInputs: {
        uint32_t inputs = 0; // bit 2m the right switch of motor m, bit 2m+1 the left one
        for (int m = 0; m < kMotorCount; ++m) {
            inputs |= (Motor(m).RightSwitch() ? 1u : 0u) << (2 * m);
            inputs |= (Motor(m).LeftSwitch() ? 2u : 0u) << (2 * m);
        }
        return inputs;
    }
    default:
        return global_[index & 15];
    }
}

void Vrx630Model::WriteGlobal(unsigned index, uint32_t data) {
    const RegisterDef* def = GlobalDef(index);
    if (def == nullptr || !def->writable) {
        return;
    }
    if (static_cast<GlobalReg>(index) == GlobalReg::TelegramLowWord) {
        LatchDriverDatagram();
        return;
    }
    global_[index] = ComposeFields(def->writeFields, DecodeFields(def->writeFields, data));
    if (static_cast<GlobalReg>(index) == GlobalReg::CoverTelegram) {
        coverWaiting_ = true;
    }
}

void Vrx630Model::LatchDriverDatagram() {
    uint64_t datagram = 0;
    for (int m = 0; m < kMotorCount; ++m) {
        datagram |= uint64_t(static_cast<uint32_t>(Motor(m).XActual()) & 0xFFFF) << (16 * m);
    }
    lowWord_ = static_cast<uint32_t>(datagram) & kDataMask;
    highWord_ = static_cast<uint32_t>(datagram >> 24) & kDataMask;
}

} // namespace vrx::sim
