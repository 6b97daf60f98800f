#include "platform/sha256_engine.h"

CSha256Engine::Way CSha256Engine::FastestWay() {
    if (CSha256Instructions::Available()) return CSha256Instructions{};
    return Way(std::in_place_type<CBcryptSha256>);
}

CSha256Engine::CSha256Engine() : way_(FastestWay()) {}

void CSha256Engine::Add(const char* bytes, std::size_t count) {
    std::visit([&](auto& way) { way.Add(bytes, count); }, way_);
}

Sha256Digest CSha256Engine::Finish() {
    return std::visit([](auto& way) { return way.Finish(); }, way_);
}
