#pragma once

#include <string>

// A program the services host runs for a test until the test stops it.
class Service {
public:
    virtual ~Service() = default;

    // What the test needs to reach it, as "name=value" lines.
    virtual std::string Facts() const = 0;

    // Ends it at once, as a crash would, for a service that otherwise lets
    // the work under way finish when it is stopped. Destroying it follows.
    virtual void Kill() {}
};
