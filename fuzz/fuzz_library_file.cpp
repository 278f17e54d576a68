// Any bytes through the reader of a folder slot's library file: it refuses
// or gives a state that holds together, and a state it takes is written back
// to the same bytes and restores an order. Each input is tried twice: as it
// is, and with its size and checksum fields made right, so the reading of
// the contents behind the checksum is reached too.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "library/LibraryFile.h"

namespace {

void check(const std::uint8_t* data, std::size_t size) {
    qv::LibraryState state;
    if (!qv::decodeLibrary(data, size, state)) {
        if (!(state == qv::LibraryState())) __builtin_trap();
        return;
    }
    if (state.position > state.round.size() || state.folder.empty() || state.folder.back() != '\\')
        __builtin_trap();
    const auto again = qv::encodeLibrary(state);
    if (again.size() != size) __builtin_trap();
    for (std::size_t i = 0; i < size; ++i)
        if (again[i] != data[i]) __builtin_trap();
    qv::FolderOrder order;
    if (!qv::restoreOrder(state, order)) __builtin_trap();
    qv::SeededRandom random(size);
    for (std::size_t i = 0; i <= state.round.size() && i < 64; ++i) {
        const auto name = order.next(random);
        if (state.round.empty() ? name.has_value() : !name.has_value()) __builtin_trap();
    }
}

void put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    check(data, size);
    // Magic 8, version 4, payload size 4, checksum 4.
    if (size < 20) return 0;
    std::vector<std::uint8_t> fixed(data, data + size);
    put32(fixed, 12, static_cast<std::uint32_t>(size - 20));
    put32(fixed, 16, qv::crc32(fixed.data() + 20, size - 20));
    check(fixed.data(), fixed.size());
    return 0;
}
