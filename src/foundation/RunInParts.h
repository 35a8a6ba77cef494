#pragma once
// runInParts: runs body(part) for each part of a job, part 0 on the calling
// thread and the others on threads of their own, and returns once all have
// ended. The first failure in part order is rethrown; the other parts run to
// their end regardless, so nothing outlives the call.
#include <cstddef>
#include <exception>
#include <thread>
#include <vector>

namespace kl {

template <class Body>
void runInParts(std::size_t parts, Body&& body) {
    std::vector<std::exception_ptr> failures(parts);
    auto run = [&](std::size_t part) {
        try {
            body(part);
        } catch (...) {
            failures[part] = std::current_exception();
        }
    };
    {
        std::vector<std::jthread> workers;
        workers.reserve(parts > 1 ? parts - 1 : 0);
        for (std::size_t part = 1; part < parts; ++part) workers.emplace_back(run, part);
        if (parts > 0) run(0);
    }
    for (const auto& failure : failures)
        if (failure) std::rethrow_exception(failure);
}

}  // namespace kl
