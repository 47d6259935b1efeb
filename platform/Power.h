#pragma once

namespace horavia {

// Keeping the machine and its display awake while the timer runs.
class Power {
public:
    virtual ~Power() = default;

    /// Asks that the system not sleep for idleness; the display may turn off (window minimized).
    virtual void KeepSystemAwake() = 0;
    /// Asks that neither the system sleep nor the display turn off (window shown, alarm sounding).
    virtual void KeepDisplayOn() = 0;
    /// Asks for both at once (an alarm on screen or sounding); without its own notion, the display request.
    virtual void KeepBothAwake() { KeepDisplayOn(); }
};

// Where no power service can be reached: every request is a no-op.
class NoPower final : public Power {
public:
    void KeepSystemAwake() override {}
    void KeepDisplayOn() override {}
    void KeepBothAwake() override {}
};

} // namespace horavia
