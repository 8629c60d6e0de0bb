#include "app/convert_files.h"

#include <sys/mman.h>

#include <cstring>
#include <utility>

namespace yz::convert {

namespace {

constexpr std::size_t kLargePage = std::size_t{2} << 20;

}  // namespace

FileBytes::FileBytes(FileBytes&& other) noexcept
    : base_(std::exchange(other.base_, nullptr)), capacity_(std::exchange(other.capacity_, 0)),
      size_(std::exchange(other.size_, 0)), mapping_(std::exchange(other.mapping_, nullptr)),
      mappingLength_(std::exchange(other.mappingLength_, 0)) {}

FileBytes& FileBytes::operator=(FileBytes&& other) noexcept {
    if (this != &other) {
        release();
        base_ = std::exchange(other.base_, nullptr);
        capacity_ = std::exchange(other.capacity_, 0);
        size_ = std::exchange(other.size_, 0);
        mapping_ = std::exchange(other.mapping_, nullptr);
        mappingLength_ = std::exchange(other.mappingLength_, 0);
    }
    return *this;
}

FileBytes::~FileBytes() { release(); }

void FileBytes::release() {
    if (mapping_) ::munmap(mapping_, mappingLength_);
    base_ = nullptr;
    mapping_ = nullptr;
    capacity_ = size_ = mappingLength_ = 0;
}

bool FileBytes::reserve(std::size_t capacity) {
    if (capacity <= capacity_) return true;
    // A large page can only back a range that starts on a 2 MiB boundary,
    // which an ordinary mapping need not: map one large page more and start
    // at the first boundary inside.
    const bool large = capacity >= kLargePage;
    const std::size_t length = capacity + (large ? kLargePage : 0);
    if (length < capacity) return false;
    void* mapping = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED) return false;
    auto* base = static_cast<std::uint8_t*>(mapping);
    if (large) {
        const auto address = reinterpret_cast<std::uintptr_t>(base);
        base += (kLargePage - address % kLargePage) % kLargePage;
        // Only a hint: without large pages the memory works the same.
        ::madvise(base, capacity, MADV_HUGEPAGE);
    }
    if (size_ > 0) std::memcpy(base, base_, size_);
    const std::size_t size = size_;
    release();
    base_ = base;
    capacity_ = capacity;
    size_ = size;
    mapping_ = mapping;
    mappingLength_ = length;
    return true;
}

FileRead readPictureFile(const std::string& path, std::uint64_t maxBytes, FileBytes buffer) {
    FileRead out;
    out.bytes = std::move(buffer);
    out.bytes.resize(0);
    // The file goes straight into the mapping, which grows as a file longer
    // than it said it was needs.
    class IntoFileBytes final : public ReadDestination {
    public:
        explicit IntoFileBytes(FileBytes& bytes) : bytes_(bytes) {}
        std::span<std::uint8_t> makeRoom(std::size_t kept, std::size_t capacity) override {
            bytes_.resize(kept);
            if (!bytes_.reserve(capacity)) return {};
            return {bytes_.data(), bytes_.capacity()};
        }

    private:
        FileBytes& bytes_;
    } into(out.bytes);
    BoundedRead read = readRegularFileInto(path, maxBytes, into);
    out.bytes.resize(read.size);
    out.error = std::move(read.error);
    out.ok = out.error.empty();
    return out;
}

}  // namespace yz::convert
