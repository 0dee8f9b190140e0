#include "editor/asm_syntax.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

// Directives after which, in Ideal mode, the next word is the name they define.
constexpr const char* kNamingDirectives = "proc endp segment ends struc struct union macro label group";

constexpr const char* kRegisters =
    "al ah ax eax bl bh bx ebx cl ch cx ecx dl dh dx edx si esi di edi bp ebp sp esp "
    "cs ds es ss fs gs st cr0 cr2 cr3 cr4 dr0 dr1 dr2 dr3 dr6 dr7 tr3 tr4 tr5 tr6 tr7";

constexpr const char* kInstructions =
    // 8086
    "aaa aad aam aas adc add and call cbw clc cld cli cmc cmp cmps cmpsb cmpsw cwd daa das dec div esc "
    "hlt idiv imul in inc int into iret ja jae jb jbe jc jcxz je jg jge jl jle jmp jna jnae jnb jnbe jnc "
    "jne jng jnge jnl jnle jno jnp jns jnz jo jp jpe jpo js jz lahf lds lea les lock lods lodsb lodsw "
    "loop loope loopne loopnz loopz mov movs movsb movsw mul neg nop not or out pop popf push pushf rcl "
    "rcr rep repe repne repnz repz ret retf retn rol ror sahf sal sar sbb scas scasb scasw shl shr stc "
    "std sti stos stosb stosw sub test wait xchg xlat xlatb xor "
    // 186, 286
    "bound enter ins insb insw leave outs outsb outsw popa pusha arpl clts lar lgdt lidt lldt lmsw lsl "
    "ltr sgdt sidt sldt smsw str verr verw "
    // 386
    "bsf bsr bt btc btr bts cdq cmpsd cwde insd iretd jecxz lfs lgs lss lodsd loopd looped loopned "
    "loopnzd loopzd loopw movsd movsx movzx outsd popad popfd pushad pushfd scasd seta setae setb setbe "
    "setc sete setg setge setl setle setna setnae setnb setnbe setnc setne setng setnge setnl setnle "
    "setno setnp setns setnz seto setp setpe setpo sets setz shld shrd stosd "
    // 486, Pentium
    "bswap cmpxchg invd invlpg wbinvd xadd cmpxchg8b cpuid rdmsr rdtsc rsm wrmsr "
    // FPU
    "f2xm1 fabs fadd faddp fbld fbstp fchs fclex fcom fcomp fcompp fcos fdecstp fdisi fdiv fdivp fdivr "
    "fdivrp feni ffree fiadd ficom ficomp fidiv fidivr fild fimul fincstp finit fist fistp fisub fisubr "
    "fld fld1 fldcw fldenv fldl2e fldl2t fldlg2 fldln2 fldpi fldz fmul fmulp fnclex fndisi fneni fninit "
    "fnop fnsave fnstcw fnstenv fnstsw fpatan fprem fprem1 fptan frndint frstor fsave fscale fsetpm fsin "
    "fsincos fsqrt fst fstcw fstenv fstp fstsw fsub fsubp fsubr fsubrp ftst fucom fucomp fucompp fwait "
    "fxam fxch fxtract fyl2x fyl2xp1";

constexpr const char* kDirectives =
    // MASM mode
    "segment ends proc endp assume .model .code .data .data? .const .stack .fardata .fardata? .startup "
    ".exit .8086 .186 .286 .286c .286p .386 .386c .386p .486 .486c .486p .586 .586c .586p .8087 .287 "
    ".387 .radix .list .nolist .xlist .lall .sall .xall .err model "
    // Ideal mode and both
    "ideal masm quirks codeseg dataseg udataseg const stack fardata ufardata startupcode exitcode p8086 "
    "p186 p286 p286n p286p p386 p386n p386p p486 p486n p586 p586n p8087 p287 p387 jumps nojumps locals "
    "nolocals smart nosmart emul noemul warn nowarn multerrs nomulterrs radix "
    // data, symbols, macros, conditions
    "db dw dd dq df dp dt equ macro endm local rept irp irpc exitm purge include includelib end org "
    "even evendata align label struc struct union record enum table public publicdll extrn extern "
    "global comm group arg uses if ifdef ifndef if1 if2 ife ifb ifnb ifidn ifidni ifdif ifdifi else "
    "elseif endif err title subttl name comment display catstr substr instr sizestr "
    // operators and types
    "ptr byte word dword fword pword qword tbyte near far short offset seg type size length this dup "
    "at use16 use32 flat tiny small medium compact large huge tchuge para page";

constexpr std::size_t kMaxWord = 16;
constexpr std::size_t kSlots = 2048;  // a power of two, well above the ~500 words

// A word of up to 16 lower-case ASCII letters packed into two integers, so
// that hashing and comparing it cost a few instructions.
struct Key {
    std::uint64_t low = 0, high = 0;
    bool operator==(const Key& o) const { return low == o.low && high == o.high; }
    void Put(std::size_t i, char c) {
        const std::uint64_t bits = static_cast<std::uint64_t>(static_cast<unsigned char>(c)) << (8 * (i % 8));
        (i < 8 ? low : high) |= bits;
    }
    std::size_t Hash() const {
        return static_cast<std::size_t>(((low ^ (high * 31)) * 0x9E3779B97F4A7C15ull) >> 40);
    }
};

struct Entry {
    Key key;
    SyntaxKind kind = SyntaxKind::Plain;
    bool names = false;
};

Key KeyOf(const char* word, std::size_t n) {
    Key key;
    for (std::size_t i = 0; i < n; ++i)
        key.Put(i, word[i]);
    return key;
}

// The keywords in an open-addressed table keyed by their lower-case letters,
// so that looking up a word costs a few compares and no allocation.
class Keywords {
  public:
    Keywords() {
        Add(kRegisters, SyntaxKind::Register);
        Add(kInstructions, SyntaxKind::Instruction);
        Add(kDirectives, SyntaxKind::Directive);
        ForEachWord(kNamingDirectives, [&](const Key& key) { Slot(key).names = true; });
    }

    const Entry* Find(const Key& key) const {
        for (std::size_t i = key.Hash() & (kSlots - 1);; i = (i + 1) & (kSlots - 1)) {
            const Entry& e = slots_[i];
            if (e.kind == SyntaxKind::Plain)
                return nullptr;
            if (e.key == key)
                return &e;
        }
    }

  private:
    template <class Use>
    static void ForEachWord(const char* words, Use use) {
        for (const char* p = words; *p;) {
            const char* end = std::strchr(p, ' ');
            const std::size_t n = end ? static_cast<std::size_t>(end - p) : std::strlen(p);
            use(KeyOf(p, n));
            p += n + (end ? 1 : 0);
        }
    }
    void Add(const char* words, SyntaxKind kind) {
        ForEachWord(words, [&](const Key& key) {
            Entry& e = Slot(key);
            if (e.kind == SyntaxKind::Plain) {  // the first table wins: "and", "shl" are instructions
                e.key = key;
                e.kind = kind;
            }
        });
    }
    Entry& Slot(const Key& key) {
        for (std::size_t i = key.Hash() & (kSlots - 1);; i = (i + 1) & (kSlots - 1)) {
            Entry& e = slots_[i];
            if (e.kind == SyntaxKind::Plain || e.key == key)
                return e;
        }
    }
    // On the heap: as an array the compiler would fill it at build time and
    // carry its 48 KB in the program file.
    std::vector<Entry> slots_ = std::vector<Entry>(kSlots);
};

const Keywords& TheKeywords() {
    static const Keywords keywords;
    return keywords;
}

// What an ASCII character can be, looked up once per character.
enum CharFlags : std::uint8_t { kBlank = 1, kDigit = 2, kLetter = 4, kNameStart = 8, kInName = 16 };
constexpr std::array<std::uint8_t, 128> kFlags = [] {
    std::array<std::uint8_t, 128> flags{};
    flags[' '] = flags['\t'] = kBlank;
    for (int c = '0'; c <= '9'; ++c)
        flags[c] = kDigit | kInName;
    for (int c = 'a'; c <= 'z'; ++c)
        flags[c] = flags[c - 32] = kLetter | kNameStart | kInName;
    for (int c : {'_', '@', '$', '?'})
        flags[c] = kNameStart | kInName;
    flags['.'] = kNameStart;
    return flags;
}();
bool Is(wchar_t c, std::uint8_t flag) {
    return static_cast<std::uint32_t>(c) < 128 && (kFlags[static_cast<std::size_t>(c)] & flag);
}
bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}
bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}
wchar_t Lower(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;
}

// A token that starts with a digit is a number when its digits fit its radix:
// 0FFh, 101b, 17o, 17q, 99d, 99, 1.5e3.
bool IsNumber(std::wstring_view t) {
    const auto all = [](std::wstring_view s, auto ok) {
        for (wchar_t c : s)
            if (!ok(Lower(c)))
                return false;
        return true;
    };
    const auto decimal = [](wchar_t c) { return c >= L'0' && c <= L'9'; };
    if (t.find(L'.') != std::wstring_view::npos)
        return all(t, [&](wchar_t c) { return decimal(c) || c == L'.' || c == L'e'; });
    const wchar_t suffix = Lower(t.back());
    const std::wstring_view digits = t.substr(0, t.size() - 1);
    switch (suffix) {
        case L'h':
            return all(digits, [&](wchar_t c) { return decimal(c) || (c >= L'a' && c <= L'f'); });
        case L'b':
            return all(digits, [](wchar_t c) { return c == L'0' || c == L'1'; });
        case L'o':
        case L'q':
            return all(digits, [](wchar_t c) { return c >= L'0' && c <= L'7'; });
        case L'd':
            return all(digits, decimal);
        default:
            return all(t, decimal);
    }
}

struct Word {
    const Entry* entry;  // null: not a keyword
    bool isComment;
};

Word LookUp(std::wstring_view name) {
    if (name.size() > kMaxWord)
        return {nullptr, false};
    Key key;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const wchar_t c = Lower(name[i]);
        if (c >= 0x80)
            return {nullptr, false};
        key.Put(i, static_cast<char>(c));
    }
    static const Key comment = KeyOf("comment", 7);
    return {TheKeywords().Find(key), key == comment};
}

}  // namespace

BlockState ClassifyLine(std::wstring_view chars,
                        std::size_t base,
                        bool lineStart,
                        BlockState state,
                        std::vector<SyntaxSpan>& spans) {
    const std::size_t n = chars.size();
    const auto add = [&](std::size_t b, std::size_t e, SyntaxKind kind) {
        if (b < e)
            spans.push_back({base + b, base + e, kind});
    };
    if (state) {  // the whole line belongs to the block, also the one that ends it
        add(0, n, SyntaxKind::Comment);
        return chars.find(state) == std::wstring_view::npos ? state : 0;
    }
    std::size_t words = lineStart ? 0 : 2;   // words seen: a mid-line start is past the first two
    std::size_t nameBegin = 0, nameEnd = 0;  // a first word that may turn out to be a label
    bool pendingName = false, namesNext = false;
    const auto settleName = [&](bool isLabel) {
        if (pendingName && isLabel)
            add(nameBegin, nameEnd, SyntaxKind::Label);
        pendingName = false;
    };
    std::size_t i = 0;
    while (i < n) {
        const wchar_t c = chars[i];
        if (IsBlank(c)) {
            ++i;
            continue;
        }
        const std::size_t begin = i;
        if (c == L';') {
            settleName(false);
            add(i, n, SyntaxKind::Comment);
            break;
        }
        if (c == L'\'' || c == L'"') {  // a doubled quote stays inside
            ++i;
            while (i < n && !(chars[i] == c && (i + 1 >= n || chars[i + 1] != c)))
                i += chars[i] == c ? 2 : 1;
            i = std::min(n, i + 1);
            settleName(false);
            add(begin, i, SyntaxKind::String);
            ++words;
            continue;
        }
        if (IsDigit(c)) {
            while (i < n && (Is(chars[i], kLetter | kDigit) || chars[i] == L'.'))
                ++i;
            settleName(false);
            if (IsNumber(chars.substr(begin, i - begin)))
                add(begin, i, SyntaxKind::Number);
            ++words;
            continue;
        }
        if (Is(c, kNameStart)) {
            ++i;
            while (i < n && Is(chars[i], kInName))
                ++i;
            const Word word = LookUp(chars.substr(begin, i - begin));
            const SyntaxKind kind = word.entry ? word.entry->kind : SyntaxKind::Plain;
            settleName(kind == SyntaxKind::Directive);
            if (word.isComment && words == 0 && i < n &&
                IsBlank(chars[i])) {  // COMMENT <delimiter> ... <delimiter>
                add(begin, i, SyntaxKind::Directive);
                while (i < n && IsBlank(chars[i]))
                    ++i;
                add(i, n, SyntaxKind::Comment);
                if (i >= n)
                    return 0;
                const wchar_t delimiter = chars[i];
                return chars.find(delimiter, i + 1) == std::wstring_view::npos ? delimiter : 0;
            }
            if (kind != SyntaxKind::Plain) {
                add(begin, i, kind);
            } else if (namesNext && words == 1) {
                add(begin, i, SyntaxKind::Label);
            } else if (words == 0) {
                std::size_t next = i;
                while (next < n && IsBlank(chars[next]))
                    ++next;
                if (next < n && chars[next] == L':') {
                    add(begin, next + 1, SyntaxKind::Label);
                    i = next + 1;
                } else {
                    pendingName = true;
                    nameBegin = begin;
                    nameEnd = i;
                }
            }
            namesNext = words == 0 && word.entry && word.entry->names;
            ++words;
            continue;
        }
        settleName(c == L'=');  // "name = 5" defines name
        ++i;
    }
    settleName(false);
    return 0;
}

BlockState StateAfterLine(const TextBuffer& text, std::size_t line, BlockState state) {
    std::size_t i = text.LineStart(line);
    const std::size_t end = text.LineEnd(line);
    if (state) {
        for (; i < end; ++i)
            if (text.At(i) == state)
                return 0;
        return state;
    }
    while (i < end && IsBlank(text.At(i)))
        ++i;
    static constexpr wchar_t kComment[] = L"comment";
    for (const wchar_t* k = kComment; *k; ++k, ++i)
        if (i >= end || Lower(text.At(i)) != *k)
            return 0;
    if (i >= end || !IsBlank(text.At(i)))
        return 0;
    while (i < end && IsBlank(text.At(i)))
        ++i;
    if (i >= end)
        return 0;
    const wchar_t delimiter = text.At(i);
    for (++i; i < end; ++i)
        if (text.At(i) == delimiter)
            return 0;
    return delimiter;
}

BlockState SyntaxStates::At(const TextBuffer& text, std::size_t line) {
    line = std::min(line, text.LineCount() - 1);
    while (states_.size() <= line)
        states_.push_back(StateAfterLine(text, states_.size() - 1, states_.back()));
    return states_[line];
}

void SyntaxStates::Learn(std::size_t line, BlockState after) {
    if (states_.size() == line + 1)
        states_.push_back(after);
}

void SyntaxStates::Forget(std::size_t line) {
    if (states_.size() > line + 1)
        states_.resize(line + 1);
}
