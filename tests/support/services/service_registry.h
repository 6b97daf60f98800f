#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "service.h"
#include "service_files.h"

// Everything the services host started for its test: running services by
// id, and temporary folders. What is not stopped earlier ends with it.
class ServiceRegistry {
public:
    ServiceRegistry() = default;
    ~ServiceRegistry();

    ServiceRegistry(const ServiceRegistry&) = delete;
    ServiceRegistry& operator=(const ServiceRegistry&) = delete;

    // Keeps a started service; returns "id=N" and the service's facts.
    std::string Adopt(std::unique_ptr<Service> service);

    // False when no service has that id (any more). atOnce: killed first
    // (see Service::Kill).
    bool Stop(int id, bool atOnce = false);

    // A new empty folder; returns unixPath and windowsPath.
    std::string MakeTempFolder();
    // A new empty folder; returns its path.
    std::string NewTempFolder();

    void StopAll();

private:
    std::mutex mutex_;
    int nextId_ = 1;
    std::map<int, std::unique_ptr<Service>> services_;
    std::vector<std::unique_ptr<TempFolder>> folders_;
};
