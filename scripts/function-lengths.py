#!/usr/bin/env python3
"""The longest functions of the given C++ files, in lines from the opening
brace to the closing one: braces are matched outside comments, strings, raw
strings, character literals and preprocessor lines; a function defined at
namespace or class scope counts with its lambdas and local classes.

    scripts/function-lengths.py autodesign/*.cpp        # the 25 longest
    TOP=5 scripts/function-lengths.py autodesign/*.cpp  # the 5 longest
"""
import os
import re
import sys

def strip(src):
    out = []; i = 0; n = len(src)
    while i < n:
        c = src[i]
        if src.startswith('//', i):
            j = src.find('\n', i); j = n if j < 0 else j
            out.append(' ' * (j - i)); i = j
        elif src.startswith('/*', i):
            j = src.find('*/', i + 2); j = n if j < 0 else j + 2
            out.append(re.sub(r'[^\n]', ' ', src[i:j])); i = j
        elif c == 'R' and src.startswith('R"', i):
            m = re.match(r'R"([^(]*)\(', src[i:])
            end = src.find(')' + m.group(1) + '"', i); end = end + len(m.group(1)) + 2
            out.append(re.sub(r'[^\n]', ' ', src[i:end])); i = end
        elif c in '"\'':
            if c == '\'' and i > 0 and (src[i-1].isalnum()):  # digit separator
                out.append(' '); i += 1; continue
            j = i + 1
            while j < n and src[j] != c:
                j += 2 if src[j] == '\\' else 1
            out.append(c + ' ' * (j - i - 1) + c); i = j + 1
        elif c == '#' and (i == 0 or src[i-1] == '\n'):
            j = i
            while True:
                k = src.find('\n', j); k = n if k < 0 else k
                if k > 0 and src[k-1] == '\\': j = k + 1; continue
                break
            out.append(re.sub(r'[^\n]', ' ', src[i:k])); i = k
        else:
            out.append(c); i += 1
    return ''.join(out)

def functions(path):
    src = strip(open(path, encoding='utf-8', errors='replace').read())
    res = []
    stack = []  # the open braces: (kind, line, name); kind 'scope' (namespace, class, extern), 'func' or 'other'
    i = 0; n = len(src)
    stmt_start = 0
    while i < n:
        c = src[i]
        if c == '{':
            head = src[stmt_start:i]
            inside_func = any(k == 'func' for k, *_ in stack)
            kind = 'other'
            if not inside_func:
                h = ' '.join(head.split())
                if re.search(r'\b(namespace|class|struct|union|enum)\b[^()]*$', h) or re.search(r'extern\s*$', h) or h.endswith('extern "C"'):
                    kind = 'scope'
                elif re.search(r'\)', h) and not re.search(r'=\s*$', h):
                    kind = 'func'
            name = ''
            if kind == 'func':
                m = re.search(r'([~\w:<>]+)\s*\((?:[^()]|\([^()]*\))*\)[^()]*$', ' '.join(head.split()))
                name = m.group(1) if m else ' '.join(head.split())[-60:]
            line = src.count('\n', 0, i) + 1
            stack.append((kind, line, name))
            stmt_start = i + 1
        elif c == '}':
            if stack:
                kind, line, name = stack.pop()
                if kind == 'func':
                    end = src.count('\n', 0, i) + 1
                    res.append((end - line + 1, name, line))
            stmt_start = i + 1
        elif c == ';':
            stmt_start = i + 1
        elif c == ':' and not any(k == 'func' for k, *_ in stack) and re.search(r'\b(public|private|protected)\s*$', src[stmt_start:i]):
            stmt_start = i + 1
        i += 1
    return res

if __name__ == '__main__':
    rows = []
    for p in sys.argv[1:]:
        for ln, name, line in functions(p):
            rows.append((ln, f'{p}:{line}', name))
    rows.sort(reverse=True)
    for ln, loc, name in rows[:int(os.environ.get('TOP', '25'))]:
        print(f'{ln:5d}  {loc:45s} {name}')
