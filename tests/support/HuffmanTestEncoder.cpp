#include "HuffmanTestEncoder.h"

#include <algorithm>
#include <deque>
#include <queue>
#include <stdexcept>
#include <string>

namespace quarnel::testing {

namespace {

struct Node {
    uint64_t weight = 0;
    int symbol = -1; // a leaf's symbol; -1 for an inner node
    int child[2] = {-1, -1};
};

std::vector<int> Symbols(std::span<const uint8_t> data, int symbolBits) {
    std::vector<int> symbols;
    symbols.reserve(data.size() * (symbolBits == 4 ? 2 : 1));
    for (const uint8_t byte : data) {
        if (symbolBits == 4) {
            symbols.push_back(byte & 0x0F);
            symbols.push_back(byte >> 4);
        } else {
            symbols.push_back(byte);
        }
    }
    return symbols;
}

// Builds the Huffman tree; returns the root's index. Ties break by creation order, so the
// result is deterministic.
int BuildTree(const std::vector<int>& symbols, std::vector<Node>& nodes) {
    std::vector<uint64_t> counts(256, 0);
    for (const int symbol : symbols) {
        ++counts[static_cast<size_t>(symbol)];
    }
    using Entry = std::pair<uint64_t, int>; // weight, node index
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue;
    for (int symbol = 0; symbol < 256; ++symbol) {
        if (counts[static_cast<size_t>(symbol)] > 0) {
            nodes.push_back({counts[static_cast<size_t>(symbol)], symbol, {-1, -1}});
            queue.emplace(nodes.back().weight, static_cast<int>(nodes.size() - 1));
        }
    }
    if (queue.empty()) {
        nodes.push_back({1, 0, {-1, -1}}); // empty data: any one-symbol tree will do
        queue.emplace(1, 0);
    }
    if (queue.size() == 1) {
        const int only = queue.top().second;
        nodes.push_back({nodes[static_cast<size_t>(only)].weight, -1, {only, only}});
        return static_cast<int>(nodes.size() - 1);
    }
    while (queue.size() > 1) {
        const Entry a = queue.top();
        queue.pop();
        const Entry b = queue.top();
        queue.pop();
        nodes.push_back({a.first + b.first, -1, {a.second, b.second}});
        queue.emplace(nodes.back().weight, static_cast<int>(nodes.size() - 1));
    }
    return queue.top().second;
}

void AssignCodes(const std::vector<Node>& nodes, int index, std::vector<bool>& prefix,
                 std::vector<std::vector<bool>>& codes) {
    const Node& node = nodes[static_cast<size_t>(index)];
    if (node.symbol >= 0) {
        auto& code = codes[static_cast<size_t>(node.symbol)];
        if (code.empty()) { // the one-symbol tree has the symbol twice: keep the 0 branch
            code = prefix;
        }
        return;
    }
    for (int bit = 0; bit < 2; ++bit) {
        prefix.push_back(bit == 1);
        AssignCodes(nodes, node.child[bit], prefix, codes);
        prefix.pop_back();
    }
}

// The tree table from position 5 (root) on: breadth-first, the children of the node at
// pair i (the root counting as pair -1) at pair j, with offset j - i - 1.
std::vector<uint8_t> LayOutTree(const std::vector<Node>& nodes, int root) {
    std::vector<uint8_t> table(1, 0); // table[0] is the root, at stream position 5
    struct Pending {
        int node;
        size_t at; // index into table
        long pair; // the pair holding the node; -1 for the root
    };
    std::deque<Pending> queue{{root, 0, -1}};
    long nextPair = 0;
    while (!queue.empty()) {
        const Pending current = queue.front();
        queue.pop_front();
        const Node& node = nodes[static_cast<size_t>(current.node)];
        const long pair = nextPair++;
        const long offset = pair - current.pair - 1;
        if (offset > 0x3F) {
            throw std::invalid_argument("Huffman tree too wide for 6-bit offsets");
        }
        table.resize(1 + 2 * static_cast<size_t>(pair + 1), 0);
        uint8_t byte = static_cast<uint8_t>(offset);
        for (int bit = 0; bit < 2; ++bit) {
            const Node& child = nodes[static_cast<size_t>(node.child[bit])];
            const size_t at = 1 + 2 * static_cast<size_t>(pair) + static_cast<size_t>(bit);
            if (child.symbol >= 0) {
                byte = static_cast<uint8_t>(byte | (bit == 0 ? 0x80 : 0x40));
                table[at] = static_cast<uint8_t>(child.symbol);
            } else {
                queue.push_back({node.child[bit], at, pair});
            }
        }
        table[current.at] = byte;
    }
    return table;
}

} // namespace

std::vector<uint8_t> HuffmanEncode(std::span<const uint8_t> data, int symbolBits) {
    if (symbolBits != 4 && symbolBits != 8) {
        throw std::invalid_argument("symbol width must be 4 or 8, not " +
                                    std::to_string(symbolBits));
    }
    if (data.size() > 0xFFFFFF) {
        throw std::invalid_argument("data too large for the 24-bit size field");
    }
    const std::vector<int> symbols = Symbols(data, symbolBits);
    std::vector<Node> nodes;
    const int root = BuildTree(symbols, nodes);
    std::vector<std::vector<bool>> codes(256);
    std::vector<bool> prefix;
    AssignCodes(nodes, root, prefix, codes);

    std::vector<uint8_t> table = LayOutTree(nodes, root);
    size_t pairs = (table.size() - 1) / 2;
    if (pairs % 2 == 0) { // 2T + 6 must be a multiple of 4: T odd
        ++pairs;
        table.resize(1 + 2 * pairs, 0);
    }
    if (pairs > 0xFF) {
        throw std::invalid_argument("Huffman tree table too large for its size byte");
    }
    const size_t n = data.size();
    std::vector<uint8_t> out;
    out.reserve(5 + table.size() + symbols.size() / 2 + 4);
    out.push_back(static_cast<uint8_t>(0x20 | symbolBits));
    out.push_back(static_cast<uint8_t>(n & 0xFF));
    out.push_back(static_cast<uint8_t>((n >> 8) & 0xFF));
    out.push_back(static_cast<uint8_t>((n >> 16) & 0xFF));
    out.push_back(static_cast<uint8_t>(pairs));
    for (const uint8_t byte : table) {
        out.push_back(byte);
    }

    uint32_t word = 0;
    int used = 0;
    const auto flush = [&out](uint32_t value) {
        for (int b = 0; b < 4; ++b) {
            out.push_back(static_cast<uint8_t>((value >> (8 * b)) & 0xFF));
        }
    };
    for (const int symbol : symbols) {
        for (const bool bit : codes[static_cast<size_t>(symbol)]) {
            if (bit) {
                word |= 1u << (31 - used);
            }
            if (++used == 32) {
                flush(word);
                word = 0;
                used = 0;
            }
        }
    }
    if (used > 0) {
        flush(word);
    }
    return out;
}

} // namespace quarnel::testing
