#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorlix {

using Sha256Digest = std::array<std::uint8_t, 32>;

// Incremental SHA-256 over OpenSSL's EVP interface (uses the CPU's SHA extensions where present).
class Sha256 {
public:
    Sha256();
    ~Sha256();
    // A copy continues from the same state: the digest of a shared prefix is computed once.
    Sha256(const Sha256& other);
    Sha256(Sha256&& other) noexcept;
    Sha256& operator=(const Sha256&) = delete;

    void update(const void* data, std::size_t size);
    Sha256Digest finish();

    static Sha256Digest of(std::string_view bytes);

private:
    struct Context;
    Context* ctx_;
};

// Two lower-case hexadecimal digits per byte, in digest order: 64 characters.
std::string hexString(const Sha256Digest& digest);

} // namespace quorlix
