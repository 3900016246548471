"""The SDK in Microsoft's C++ ABI: the client check (sdk/tests/msabi_client.cpp,
one line per check, exit code the number of failed ones) run against the
simulated driver and the registry, then a look from outside at what it left
in both."""


def test_msabi_client(programs, e2e):
    e2e.driver.attach(0x11)
    e2e.driver.attach(0x22, firmware=0x0207)
    e2e.driver.touch(1)
    programs.put("ID5", ("NAME", "REG_SZ", "Stored first"), ("TOUCH_OP", "REG_DWORD", 2), ("IR_OP", "REG_DWORD", 7))
    programs.put("ALL", ("TIMEOUT", "REG_DWORD", 60), ("TIMEENABLE", "REG_DWORD", 0))

    programs.run(0, "sdk_msabi_client.exe")

    records = {(key, name): programs.value(key, name) for key, name in
               (("ID3", "NAME"), ("ID3", "TOUCH_OP"), ("ID3", "IR_OP"), ("ID5", "NAME"), ("ALL", "TIMEOUT"),
                ("ALL", "TIMEENABLE"))}
    assert records == {("ID3", "NAME"): ("REG_SZ", "Line 3 left"), ("ID3", "TOUCH_OP"): ("REG_DWORD", 1),
                       ("ID3", "IR_OP"): ("REG_DWORD", 0), ("ID5", "NAME"): ("REG_SZ", "Stored first"),
                       ("ALL", "TIMEOUT"): ("REG_DWORD", 45), ("ALL", "TIMEENABLE"): ("REG_DWORD", 1)}
    state = e2e.driver.state()
    driver = {name: state["driver"][name] for name in ("startup", "clickbutton", "onceflag", "oncebutton")}
    assert driver == {"startup": 1, "clickbutton": 2, "onceflag": 1, "oncebutton": 4}
    panels = {name: [p[name] for p in state["panels"]] for name in ("pointdata", "led", "sound")}
    assert panels == {"pointdata": [1, 1], "led": [0, 1], "sound": [0, 1]}
