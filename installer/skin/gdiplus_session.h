#pragma once

// Keeps GDI+ started while it lives. The first session of the process starts
// GDI+, the last one to go shuts it down; the count is kept under a lock, as
// sessions may begin and end on any thread. Every GDI+ object must be gone
// before the last session ends.
class CGdiplusSession {
public:
    CGdiplusSession();
    ~CGdiplusSession();
    CGdiplusSession(const CGdiplusSession&) = delete;
    CGdiplusSession& operator=(const CGdiplusSession&) = delete;

    // False when GDI+ could not be started.
    bool Started() const { return started_; }

private:
    bool started_;
};
