#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The variables that one scope's code names (a run's top level, or one script
// function), each at a fixed index: a bound identifier reaches its variable by that
// index instead of by hashing and comparing its name.
class QvScopeLayout {
public:
    static constexpr int kAbsent = -1;

    QvScopeLayout();

    // The index of the name (with its identifier hash); a new name goes at the end.
    uint32_t add(unsigned hash, const char* name);
    // The index of the name, or kAbsent.
    int find(unsigned hash, const char* name) const;
    uint32_t size() const { return static_cast<uint32_t>(names_.size()); }
    const std::string& name(uint32_t index) const { return names_[index].text; }

    // True when nothing but the scope's own code can reach its variables: no reference
    // is made to them or held by them, no window shows them and none is deleted (a
    // script function written without `reference`, windows, `delete` and by-reference
    // parameters or arguments).
    bool enclosed() const { return enclosed_; }
    void setEnclosed(bool enclosed) { enclosed_ = enclosed; }

private:
    struct Name {
        std::string text;
        int next;  // the next index in the same hash bucket, or kAbsent
    };

    std::vector<Name> names_;
    std::vector<int> buckets_;  // first index per identifier hash, or kAbsent
    bool enclosed_ = false;
};
