#pragma once

namespace quillarbor {

// The one place a desktop session keeps for a running copy of the program. Each platform holds
// it its own way; a copy that ends, however it ends, leaves it free.
class SessionSlot {
public:
    virtual ~SessionSlot() = default;

    // Takes the place for this copy; false when another copy holds it.
    virtual bool take() = 0;
    // Asks the copy that holds the place to bring its window forward; false when none answered.
    virtual bool askHolderToShow() = 0;
};

} // namespace quillarbor
