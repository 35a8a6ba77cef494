#pragma once
// PlaceDataTransport: sends the place-data service's requests over Qt
// Network. Each request runs in an event loop of its own on the calling
// worker thread, so a worker may block on it while the windows go on.
//
// Thread: install on the main thread before any worker starts.
namespace kl {

class PlaceDataTransport {
public:
    static void install();
};

}  // namespace kl
