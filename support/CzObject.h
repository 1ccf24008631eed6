#pragma once

// The root of the container library: every container can write itself to an archive and read
// itself back from one.

class Archive;

class CzObject {
public:
    virtual ~CzObject() = default;

    // Stores into a storing archive, loads from a loading one.
    virtual void Serialize(Archive& ar) = 0;
};
