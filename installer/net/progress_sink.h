#pragma once

// Where a transfer shows how far it has come: a position within a range.
// Transfers call it from their own thread, so an implementation takes the
// position and asks its window for a repaint without waiting for the
// window's thread.
class IProgressSink {
public:
    virtual int Minimum() const = 0;
    virtual int Maximum() const = 0;
    virtual int Position() const = 0;
    // Takes position raised to Minimum(), then lowered to Maximum().
    virtual void SetPosition(int position) = 0;

protected:
    ~IProgressSink() = default;
};
