#!/usr/bin/env python3
"""Writes the demo report database's rows as SQL, once for SQLite (demo_data.sql) and once for
SQL Server (mssql/demo_data.sql), from one seeded description, so that both hold the same data.
Run by hand after changing it: python3 db/make_demo_data.py; the build only reads the .sql files."""
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))
rng = random.Random(2026)

# Instrument types in three levels: group -> kind -> (type designation, name, limits, class, interval).
TYPES = [
    ("Средства измерений давления", [
        ("Манометры", [("МП4-У", "Манометр показывающий", "0...1,6 МПа", "1,5", 12),
                       ("МТП-160", "Манометр технический", "0...2,5 МПа", "1,5", 24),
                       ("ДМ2010Сг", "Манометр сигнализирующий", "0...1 МПа", "1,5", 12)]),
        ("Датчики давления", [("Метран-150", "Преобразователь давления измерительный", "0...4 МПа", "0,075", 36),
                              ("АИР-20/М2", "Преобразователь давления", "0...1,6 МПа", "0,25", 24)]),
        ("Вакуумметры", [("ВП4-У", "Вакуумметр показывающий", "-0,1...0 МПа", "1,5", 12)]),
    ]),
    ("Средства измерений температуры", [
        ("Термометры сопротивления", [("ТСМ-50М", "Термопреобразователь сопротивления", "-50...+150 °C", "B", 24),
                                      ("ТСП-100П", "Термопреобразователь сопротивления платиновый", "-50...+500 °C", "A", 24)]),
        ("Термопары", [("ТХА-2088", "Преобразователь термоэлектрический", "0...+900 °C", "2", 12)]),
        ("Термометры стеклянные", [("ТЛ-4", "Термометр лабораторный", "0...+100 °C", "0,1 °C", 36)]),
    ]),
    ("Средства измерений электрических величин", [
        ("Мультиметры", [("APPA-107N", "Мультиметр цифровой", "0...1000 В", "0,1", 12),
                         ("В7-78/1", "Вольтметр универсальный", "0...750 В", "0,05", 12)]),
        ("Мегаомметры", [("ЭС0202/2-Г", "Мегаомметр", "0...10 ГОм", "15", 24)]),
        ("Клещи токоизмерительные", [("АТК-2250", "Клещи электроизмерительные", "0...1000 А", "2,0", 12)]),
    ]),
    ("Средства измерений массы", [
        ("Весы", [("ВЛТЭ-1100", "Весы лабораторные электронные", "0,02...1100 г", "II", 12),
                  ("ВП-150", "Весы платформенные", "1...150 кг", "III", 12)]),
        ("Гири", [("Г-2-210", "Набор гирь", "1 мг...100 г", "F2", 24)]),
    ]),
    ("Средства измерений геометрических величин", [
        ("Штангенциркули", [("ШЦ-I-150", "Штангенциркуль", "0...150 мм", "0,05 мм", 6),
                            ("ШЦЦ-I-250", "Штангенциркуль цифровой", "0...250 мм", "0,01 мм", 6)]),
        ("Микрометры", [("МК-25", "Микрометр гладкий", "0...25 мм", "1", 12)]),
        ("Рулетки", [("Р10У2К", "Рулетка измерительная", "0...10 м", "2", 12)]),
    ]),
]

STATES = [
    ("В эксплуатации", ["Рабочее средство измерений", "Эталон", "Индикатор"]),
    ("На консервации", []),
    ("В ремонте", []),
    ("Списано", []),
]

SUBDIVS = [
    ("Цех № 1 (механосборочный)", ["Участок механообработки", "Участок сборки", "Участок окраски"]),
    ("Цех № 2 (термический)", ["Участок закалки", "Участок отпуска"]),
    ("Цех № 3 (энергетический)", ["Котельная", "Компрессорная станция", "Электроподстанция"]),
    ("Центральная заводская лаборатория", ["Химическая лаборатория", "Лаборатория механических испытаний"]),
    ("Отдел главного метролога", ["Лаборатория измерений давления", "Лаборатория электрических измерений"]),
    ("Отдел технического контроля", []),
]

# Repair kinds: name in the schedule's cells, full name, the periods (months) it is given with.
REPAIRS = [
    ("ТО", "Техническое обслуживание", [3, 6]),
    ("ТР", "Текущий ремонт", [12]),
    ("СР", "Средний ремонт", [24]),
    ("КР", "Капитальный ремонт", [36, 48]),
]

AUTHORITIES = ["ФБУ «Ростест-Москва»", "ФБУ «Тест-С.-Петербург»", "Метрологическая служба предприятия",
               "ФБУ «Уралтест»"]

INSTRUMENTS = 320


def build():
    types, leaf_types = [], []
    next_id = 1
    for group, kinds in TYPES:
        group_id = next_id; next_id += 1
        types.append((group_id, group, -1))
        for kind, leaves in kinds:
            kind_id = next_id; next_id += 1
            types.append((kind_id, kind, group_id))
            for designation, name, limits, klass, interval in leaves:
                leaf_id = next_id; next_id += 1
                types.append((leaf_id, f"{name} {designation}", kind_id))
                leaf_types.append((leaf_id, designation, name, limits, klass, interval))
    states, leaf_states = [], []
    next_id = 1
    for top, children in STATES:
        top_id = next_id; next_id += 1
        states.append((top_id, top, -1))
        if not children:
            leaf_states.append(top_id)
        for child in children:
            states.append((next_id, child, top_id))
            leaf_states.append(next_id)
            next_id += 1
    subdivs, units = [], []
    next_id = 1
    for top, children in SUBDIVS:
        top_id = next_id; next_id += 1
        subdivs.append((top_id, top, -1))
        units.append(top_id)
        for child in children:
            subdivs.append((next_id, child, top_id))
            units.append(next_id)
            next_id += 1
    repairs = [(i + 1, short, full) for i, (short, full, _) in enumerate(REPAIRS)]

    instruments, assignments = [], []
    state_weights = [60 if s in (2, 3, 4) else 5 for s in leaf_states]
    for n in range(1, INSTRUMENTS + 1):
        leaf_id, designation, name, limits, klass, interval = rng.choice(leaf_types)
        if rng.random() < 0.2:
            interval = rng.choice([6, 12, 24, 36])
        month = rng.randint(1, 12)
        year = rng.randint(2021, 2025)
        day = rng.randint(1, 28)
        state_id = rng.choices(leaf_states, weights=state_weights)[0]
        subdiv_id = rng.choice(units)
        serial = f"{rng.choice('АБВГДЕКМН')}{rng.randint(10000, 99999)}"
        vrf_type = "К" if rng.random() < 0.15 else "П"
        in_service = rng.randint(2008, 2024)
        instruments.append((n, name, designation, leaf_id, state_id, subdiv_id, serial, limits, klass,
                            f"{month:02d}.{year}", interval, f"{day:02d}.{month:02d}.{year}", vrf_type,
                            rng.choice(AUTHORITIES), in_service))
        for repair_id, (_, _, periods) in enumerate(REPAIRS, start=1):
            if rng.random() < 0.35:
                assignments.append((n, repair_id, rng.choice(periods)))
    return types, states, subdivs, repairs, instruments, assignments


def literal(value, unicode_prefix):
    if isinstance(value, int):
        return str(value)
    return unicode_prefix + "'" + value.replace("'", "''") + "'"


def inserts(table, columns, rows, unicode_prefix, batch=200):
    out = []
    for start in range(0, len(rows), batch):
        chunk = rows[start:start + batch]
        values = ",\n  ".join("(" + ", ".join(literal(v, unicode_prefix) for v in row) + ")" for row in chunk)
        out.append(f"INSERT INTO {table} ({', '.join(columns)}) VALUES\n  {values};\n")
    return "".join(out)


def write(path, prefix, header, footer, data):
    types, states, subdivs, repairs, instruments, assignments = data
    text = header
    text += inserts("tMiTypes", ["id", "fname", "parentid"], types, prefix)
    text += inserts("MMState", ["id", "fname", "parentid"], states, prefix)
    text += inserts("tSubDivs", ["id", "fname", "parentid"], subdivs, prefix)
    text += inserts("tRepairKinds", ["id", "ShortName", "FullName"], repairs, prefix)
    text += inserts("tInstruments", ["id", "MIname", "MItype", "TypeId", "StateId", "SubDivId", "LocN", "Limits",
                                     "PrecisClass", "VrfDate", "VrfInterval", "VrfDateF", "VrfType", "CA",
                                     "InServiceYear"], instruments, prefix)
    text += inserts("tInstrumentRepairs", ["InstrumentId", "RepairKindId", "RemPeriod"], assignments, prefix)
    text += footer
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


if __name__ == "__main__":
    data = build()
    note = "-- Generated by db/make_demo_data.py; edit that script, not this file.\n"
    write(os.path.join(HERE, "demo_data.sql"), "", note + "BEGIN;\n", "COMMIT;\n", data)
    write(os.path.join(HERE, "mssql", "demo_data.sql"), "N",
          note + "SET NOCOUNT ON;\nBEGIN TRANSACTION;\n", "COMMIT;\nGO\n", data)
