#pragma once
// The simulated VRX630: three motor units, the global registers and the 128-byte RAM. It
// executes one SPI telegram at a time and answers with the status byte and 24 data bits, and it
// moves the motors when time is advanced. Not thread-safe; the owner serialises access.
//
// Behaviour beyond the register map:
//   - a write telegram answers its status byte and 24 zero data bits;
//   - INTERRUPT (status bit 7) is set while any motor has an interrupt flag whose mask bit is set;
//   - the "Get Low/High Word" write (global register 0) latches the driver datagram, here made of
//     the low 16 bits of the three motors' positions (motor 1 in the low bits);
//   - writing SPI_COVER_TELEGRAM sets COVER_WAITING until the next millisecond of motion.

#include "chip/telegram.h"
#include "sim/motor_axis.h"

#include <array>
#include <cstdint>

namespace vrx::sim {

class Vrx630Model {
public:
    Answer Execute(const Telegram& telegram);

    // Moves the motors on by whole milliseconds.
    void Advance(int milliseconds);
    // The board's clock, which sets the motion's time scale with each motor's dividers
    // (kMinClockMhz..kMaxClockMhz, default kDefaultClockMhz; beyond, the nearest end).
    void SetClockMhz(int mhz);
    int ClockMhz() const { return motors_[0].ClockMhz(); }
    int64_t ElapsedMs() const { return elapsedMs_; }

    uint8_t StatusByte() const;
    // unit 0..2 motors, 3 global; index 0..15. Unused global indices read 0 and ignore writes.
    uint32_t ReadRegister(unsigned unit, unsigned index) const;
    void WriteRegister(unsigned unit, unsigned index, uint32_t data);
    uint16_t RamWord(int word) const { return ram_[static_cast<size_t>(word & 63)]; }

    MotorAxis& Motor(int motor) { return motors_[static_cast<size_t>(motor)]; }
    const MotorAxis& Motor(int motor) const { return motors_[static_cast<size_t>(motor)]; }

private:
    uint32_t ReadGlobal(unsigned index) const;
    void WriteGlobal(unsigned index, uint32_t data);
    void LatchDriverDatagram();

    std::array<MotorAxis, kMotorCount> motors_;
    std::array<uint16_t, kRamWords> ram_{};
    // Global register images as written, by index 0..15.
    std::array<uint32_t, 16> global_{};
    uint32_t lowWord_ = 0;
    uint32_t highWord_ = 0;
    bool coverWaiting_ = false;
    int64_t elapsedMs_ = 0;
};

} // namespace vrx::sim
