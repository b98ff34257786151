#pragma once
// One data-channel call as a spy of the document saw it, and the answers a
// test scripts per id.

#include <cstdint>
#include <map>
#include <vector>

struct SSpyCall {
    uint32_t id;
    const void* sender;
    int64_t value;
    int32_t set;
};

class CSpyLog {
public:
    // Records the call and gives the answer scripted for its id (else 0).
    int32_t Record(uint32_t id, const void* sender, int64_t value, int32_t set) {
        m_Calls.push_back({id, sender, value, set});
        const auto it = m_Answers.find(id);
        return it == m_Answers.end() ? 0 : it->second;
    }
    // Whether the id arrived, and how often.
    int32_t Count(uint32_t id) const {
        int32_t n = 0;
        for (const SSpyCall& c : m_Calls) {
            n += c.id == id ? 1 : 0;
        }
        return n;
    }

    std::vector<SSpyCall> m_Calls;
    std::map<uint32_t, int32_t> m_Answers;
};
