#include "platform/AbortCleanup.h"

#include <map>
#include <mutex>

namespace platform {

namespace {

struct Registry {
    std::mutex lock;
    uint64_t nextToken = 1;
    std::map<uint64_t, std::function<void()>> actions;
};

Registry& registry()
{
    // Never destroyed: an action may be removed from a static object's destructor at exit.
    static Registry* instance = new Registry;
    return *instance;
}

}

AbortCleanup::AbortCleanup(std::function<void()> action)
{
    Registry& actions = registry();
    std::lock_guard<std::mutex> guard(actions.lock);
    m_token = actions.nextToken++;
    actions.actions.emplace(m_token, std::move(action));
}

AbortCleanup::~AbortCleanup()
{
    Registry& actions = registry();
    std::lock_guard<std::mutex> guard(actions.lock);
    actions.actions.erase(m_token);
}

void AbortCleanup::runAll()
{
    Registry& actions = registry();
    std::lock_guard<std::mutex> guard(actions.lock);
    while (!actions.actions.empty()) {
        auto newest = std::prev(actions.actions.end());
        std::function<void()> action = std::move(newest->second);
        actions.actions.erase(newest);
        try {
            action();
        } catch (...) {
        }
    }
}

}
