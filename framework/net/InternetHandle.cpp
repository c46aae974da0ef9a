#include "InternetHandle.h"

#include <mutex>
#include <unordered_set>

namespace {

struct Registry
{
    std::mutex mutex;
    std::unordered_set<const void*> live;
};

Registry& registry()
{
    static Registry r;
    return r;
}

} // namespace

InternetHandle::InternetHandle()
{
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.live.insert(static_cast<const void*>(this)); // may throw; callers catch
}

InternetHandle::~InternetHandle()
{
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.live.erase(static_cast<const void*>(this));
}

InternetHandle* InternetHandle::find(HINTERNET h) noexcept
{
    if (h == nullptr)
        return nullptr;
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (r.live.count(h) == 0)
        return nullptr;
    return static_cast<InternetHandle*>(h);
}
