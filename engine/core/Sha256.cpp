#include "engine/core/Sha256.h"

#include <openssl/evp.h>
#include <stdexcept>
#include <utility>

namespace quorlix {

struct Sha256::Context {
    EVP_MD_CTX* md = nullptr;
};

namespace {

const EVP_MD* sha256() {
    // Fetched once: implicit lookups by name cost a lock per call in OpenSSL 3.
    static EVP_MD* md = EVP_MD_fetch(nullptr, "SHA256", nullptr);
    return md ? md : EVP_sha256();
}

} // namespace

Sha256::Sha256() : ctx_(new Context) {
    ctx_->md = EVP_MD_CTX_new();
    if (!ctx_->md || EVP_DigestInit_ex(ctx_->md, sha256(), nullptr) != 1) {
        EVP_MD_CTX_free(ctx_->md);
        delete ctx_;
        throw std::runtime_error("SHA-256 is not available");
    }
}

Sha256::Sha256(const Sha256& other) : ctx_(new Context) {
    ctx_->md = EVP_MD_CTX_new();
    if (!ctx_->md || EVP_MD_CTX_copy_ex(ctx_->md, other.ctx_->md) != 1) {
        EVP_MD_CTX_free(ctx_->md);
        delete ctx_;
        throw std::runtime_error("SHA-256 is not available");
    }
}

Sha256::Sha256(Sha256&& other) noexcept : ctx_(std::exchange(other.ctx_, nullptr)) {}

Sha256::~Sha256() {
    if (!ctx_)
        return;
    EVP_MD_CTX_free(ctx_->md);
    delete ctx_;
}

void Sha256::update(const void* data, std::size_t size) {
    if (size > 0)
        EVP_DigestUpdate(ctx_->md, data, size);
}

Sha256Digest Sha256::finish() {
    Sha256Digest digest{};
    unsigned int length = 0;
    EVP_DigestFinal_ex(ctx_->md, digest.data(), &length);
    return digest;
}

Sha256Digest Sha256::of(std::string_view bytes) {
    Sha256 h;
    h.update(bytes.data(), bytes.size());
    return h.finish();
}

std::string hexString(const Sha256Digest& digest) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string out(digest.size() * 2, '0');
    for (std::size_t i = 0; i < digest.size(); ++i) {
        out[2 * i] = digits[digest[i] >> 4];
        out[2 * i + 1] = digits[digest[i] & 0x0f];
    }
    return out;
}

} // namespace quorlix
