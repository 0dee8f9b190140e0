#include "compile/build_script.h"

#include "codepage/cp1251.h"
#include "codepage/recode.h"

std::wstring BuildScriptText(const ScriptParts& p) {
    std::wstring text = L" prompt $s\r\n";
    text += p.tasmPath + L" " + p.asmSwitches + L" " + p.documentShortPath + L", " + p.outBase + L", " +
            p.outBase;
    text += L"\r\n";
    text += p.tlinkPath + L" " + p.linkSwitches + L" " + p.outBase + L", " + p.outBase;
    return text;
}

std::string BuildScriptBytes(const ScriptParts& parts) {
    std::string bytes = EncodeCp1251(WinToDos(BuildScriptText(parts)));
    bytes.append("\r\n");
    return bytes;
}
