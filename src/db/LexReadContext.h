// What a load carries from record to record: the file's version and the map from the
// identifiers read so far to their objects, through which references between records are rebuilt.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

class LexObject;

class LexReadContext {
public:
    // The version number of the file (0 when it carries none).
    double version() const { return version_; }
    void setVersion(double v) { version_ = v; }

    // Registers an object under its identifier. False when the identifier is 0 or already
    // taken by another object of the file.
    bool registerObject(std::uint32_t id, LexObject* object);
    // The object read under id, or null.
    LexObject* find(std::uint32_t id) const;
    // Notes an identifier seen inside a record kept as text, so that new identifiers stay above it.
    void noteIdentifier(std::uint32_t id);
    // The largest identifier read so far (0 when none).
    std::uint32_t largestIdentifier() const { return largest_; }
    // Every identifier registered or noted so far, sorted, each once.
    std::vector<std::uint32_t> identifiers() const;

private:
    // Whether id is registered; its object through object when that is not null.
    bool locate(std::uint32_t id, LexObject** object) const;

    double version_ = 0.0;
    std::uint32_t largest_ = 0;
    std::vector<std::uint32_t> seen_;
    // Files list their records with growing identifiers: those that keep growing go to a sorted
    // vector (one append each, searched by halving), any that come out of order to a hash map.
    std::vector<std::pair<std::uint32_t, LexObject*>> ordered_;
    std::unordered_map<std::uint32_t, LexObject*> others_;
};
