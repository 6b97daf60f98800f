#include "service_registry.h"

#include <sys/stat.h>

ServiceRegistry::~ServiceRegistry() { StopAll(); }

std::string ServiceRegistry::Adopt(std::unique_ptr<Service> service) {
    const std::string facts = service->Facts();
    std::lock_guard lock(mutex_);
    const int id = nextId_++;
    services_.emplace(id, std::move(service));
    return "id=" + std::to_string(id) + "\n" + facts;
}

bool ServiceRegistry::Stop(int id, bool atOnce) {
    std::unique_ptr<Service> stopping;
    {
        std::lock_guard lock(mutex_);
        const auto found = services_.find(id);
        if (found == services_.end()) return false;
        stopping = std::move(found->second);
        services_.erase(found);
    }
    // Stopping takes a while (squid winds down); other requests go on.
    if (atOnce) stopping->Kill();
    stopping.reset();
    return true;
}

std::string ServiceRegistry::MakeTempFolder() {
    const std::string path = NewTempFolder();
    return "unixPath=" + path + "\nwindowsPath=" + WindowsPathOf(path) + "\n";
}

std::string ServiceRegistry::NewTempFolder() {
    auto folder = std::make_unique<TempFolder>("ruvi-test");
    chmod(folder->Path().c_str(), 0755);
    const std::string path = folder->Path();
    std::lock_guard lock(mutex_);
    folders_.push_back(std::move(folder));
    return path;
}

void ServiceRegistry::StopAll() {
    std::map<int, std::unique_ptr<Service>> services;
    std::vector<std::unique_ptr<TempFolder>> folders;
    {
        std::lock_guard lock(mutex_);
        services.swap(services_);
        folders.swap(folders_);
    }
    // Services first: a server may still be reading a plan in a folder.
    while (!services.empty()) services.erase(std::prev(services.end()));
    folders.clear();
}
