// Checks the compiled .NET declarations of TAVLO.DLL against the export
// table and tavlo.h, by reflection: every export of the table is declared
// once, by its exported name, from TAVLO.DLL, stdcall, returning a 16-bit
// status; each parameter has the width, signedness and direction of the C
// parameter; nothing else is declared; the status codes are those of
// tavlo.h. One line per problem; the exit code is the number of problems.
//
//   mono TavloSignatureCheck.exe Tavlo.dll tavlo_exports.inc tavlo.h
using System;
using System.Collections.Generic;
using System.IO;
using System.Reflection;
using System.Runtime.InteropServices;
using System.Text.RegularExpressions;

static class TavloSignatureCheck
{
    static int problems = 0;

    static void Problem(string text)
    {
        Console.WriteLine("problem: " + text);
        ++problems;
    }

    // The .NET element type of a C integer type of the table.
    static Type ElementOf(string cType)
    {
        switch (cType)
        {
            case "uint8_t": return typeof(byte);
            case "uint16_t": return typeof(ushort);
            case "int16_t": return typeof(short);
            case "uint32_t": return typeof(uint);
            default: return null;
        }
    }

    static void CheckParameter(string export, int index, string cParameter, ParameterInfo p)
    {
        Match m = Regex.Match(cParameter.Trim(), @"^(const )?(\w+)(\*)? (\w+)$");
        if (!m.Success || ElementOf(m.Groups[2].Value) == null)
        {
            Problem(export + ": parameter '" + cParameter.Trim() + "' of the table is not understood");
            return;
        }
        bool isConst = m.Groups[1].Success, isPointer = m.Groups[3].Success;
        Type element = ElementOf(m.Groups[2].Value);
        string name = m.Groups[4].Value;
        string where = export + " parameter " + (index + 1) + " (" + name + ")";
        Type t = p.ParameterType;
        if (!isPointer)
        {
            if (t != element) Problem(where + ": " + t + " for the C value " + m.Groups[2].Value);
            return;
        }
        if (t.IsByRef)
        {
            if (t.GetElementType() != element)
                Problem(where + ": by reference to " + t.GetElementType() + " for " + m.Groups[2].Value + "*");
            bool outOnly = p.IsOut && !p.IsIn;
            if (outOnly && (isConst || name == "stamp"))
                Problem(where + ": 'out', but the library reads it");
        }
        else if (t.IsArray)
        {
            if (t.GetElementType() != element)
                Problem(where + ": array of " + t.GetElementType() + " for " + m.Groups[2].Value + "*");
            if (!p.IsIn) Problem(where + ": array without [In]");
            if (!isConst && !p.IsOut) Problem(where + ": array the library writes without [Out]");
        }
        else
        {
            Problem(where + ": " + t + " passed by value for the pointer " + m.Groups[2].Value + "*");
        }
    }

    static int Main(string[] args)
    {
        if (args.Length != 3)
        {
            Console.WriteLine("usage: TavloSignatureCheck Tavlo.dll tavlo_exports.inc tavlo.h");
            return 100;
        }
        Assembly assembly = Assembly.LoadFrom(args[0]);
        Type tavlo = assembly.GetType("TouchPanelSuite.Tavlo");
        Type status = assembly.GetType("TouchPanelSuite.TavloStatus");
        if (tavlo == null || status == null)
        {
            Console.WriteLine("problem: TouchPanelSuite.Tavlo or TouchPanelSuite.TavloStatus missing");
            return 1;
        }

        var declared = new Dictionary<string, MethodInfo>();
        foreach (MethodInfo method in tavlo.GetMethods(BindingFlags.Public | BindingFlags.NonPublic | BindingFlags.Static))
        {
            if ((method.Attributes & MethodAttributes.PinvokeImpl) == 0) continue;
            if (declared.ContainsKey(method.Name)) Problem(method.Name + " declared more than once");
            declared[method.Name] = method;
        }

        int exports = 0;
        foreach (string line in File.ReadAllLines(args[1]))
        {
            Match entry = Regex.Match(line, @"^TAVLO_EXPORT\((\w+),\s*\w+,\s*\(([^)]*)\)");
            if (!entry.Success) continue;
            ++exports;
            string name = entry.Groups[1].Value;
            MethodInfo method;
            if (!declared.TryGetValue(name, out method))
            {
                Problem(name + " is not declared");
                continue;
            }
            declared.Remove(name);
            object[] imports = method.GetCustomAttributes(typeof(DllImportAttribute), false);
            if (imports.Length != 1)
            {
                Problem(name + ": no DllImport");
            }
            else
            {
                var import = (DllImportAttribute)imports[0];
                if (!string.Equals(import.Value, "TAVLO.DLL", StringComparison.OrdinalIgnoreCase))
                    Problem(name + ": from " + import.Value + ", not TAVLO.DLL");
                if (import.EntryPoint != name) Problem(name + ": entry point " + import.EntryPoint);
                if (import.CallingConvention != CallingConvention.StdCall)
                    Problem(name + ": calling convention " + import.CallingConvention + ", not StdCall");
                if (!import.ExactSpelling) Problem(name + ": without ExactSpelling");
            }
            Type result = method.ReturnType.IsEnum ? Enum.GetUnderlyingType(method.ReturnType) : method.ReturnType;
            if (result != typeof(short)) Problem(name + ": returns " + method.ReturnType + ", not a 16-bit status");
            string[] cParameters = entry.Groups[2].Value.Split(new[] { ',' }, StringSplitOptions.RemoveEmptyEntries);
            ParameterInfo[] parameters = method.GetParameters();
            if (parameters.Length != cParameters.Length)
            {
                Problem(name + ": " + parameters.Length + " parameters, the table has " + cParameters.Length);
                continue;
            }
            for (int i = 0; i < parameters.Length; ++i) CheckParameter(name, i, cParameters[i], parameters[i]);
        }
        foreach (string extra in declared.Keys) Problem(extra + " is declared but is no export of the table");

        // The status codes: every "TavloName = value" of tavlo.h's status
        // enumeration, by name without the prefix, and nothing else.
        var codes = new Dictionary<string, long>();
        bool inStatus = false;
        foreach (string line in File.ReadAllLines(args[2]))
        {
            if (line.StartsWith("typedef int16_t TavloStatus")) inStatus = true;
            if (!inStatus) continue;
            Match code = Regex.Match(line, @"^\s+Tavlo(\w+) = (\d+)");
            if (code.Success) codes[code.Groups[1].Value] = long.Parse(code.Groups[2].Value);
            if (line.StartsWith("};")) break;
        }
        if (Enum.GetUnderlyingType(status) != typeof(short)) Problem("TavloStatus is not 16 bits wide");
        foreach (string statusName in Enum.GetNames(status))
        {
            long value = Convert.ToInt64(Enum.Parse(status, statusName));
            long expected;
            if (!codes.TryGetValue(statusName, out expected)) Problem("TavloStatus." + statusName + " is not in tavlo.h");
            else if (value != expected) Problem("TavloStatus." + statusName + " is " + value + ", tavlo.h says " + expected);
            codes.Remove(statusName);
        }
        foreach (string missing in codes.Keys) Problem("status Tavlo" + missing + " of tavlo.h is missing");

        if (exports == 0) Problem("no export found in " + args[1]);
        Console.WriteLine(problems == 0 ? "ok: " + exports + " exports and the status codes match" : problems + " problem(s)");
        return problems;
    }
}
