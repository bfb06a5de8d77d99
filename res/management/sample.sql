-- A small management database to try the export on, read after schema.sql: four sites, one
-- machine of each export type (42, 87, 95, 100) and two more of type 42 (one not yet placed at
-- a site, which the export's dialog does not list), their configurations' channels and keys, a
-- few product families and products, and the option types of every record the bundled models
-- compile to (every field of each of their blocks) and of the union options.

INSERT INTO EMPLAZAMIENTOS (CODIGO, DESCRIPCION, LOCALIZACION) VALUES
    (1, 'BAR CENTRAL', NULL),
    (2, 'HOTEL MIRAMAR', 'PLANTA 2'),
    (3, 'OFICINAS NORTE', 'RECEPCION'),
    (4, 'POLIDEPORTIVO', NULL);

-- Union kinds: 2 for the classic machines, 8 for the T38A family.
INSERT INTO TIPO_MAQUINAS (CODIGO, TIPO_UNION) VALUES (42, 2), (87, 8), (95, 8), (100, 8);

INSERT INTO MODELO_MAQUINA (CODIGO, TIPO_MAQUINA, VERSION_DEFECTO) VALUES
    (1, 42, 1), (2, 87, 1), (3, 95, 1), (4, 100, 1);

INSERT INTO MAQUINAS (CODIGO, TIPO, DIVISA, MODO_COM, MODELO, CONFIGURACION, EMPLAZAMIENTO) VALUES
    (1, 42, 2, 5, 1, 51, 1),
    (2, 87, 2, 5, 2, 234, 2),
    (3, 95, 2, 5, 3, 254, 3),
    (4, 100, 2, 5, 4, 267, 4),
    (5, 42, 2, 5, 1, 51, 2),
    (6, 42, 2, 5, 1, 51, NULL);

INSERT INTO CONFIG_MAQ (CODIGO) VALUES (51), (59), (234), (254), (267);

-- Channels and keys 1..n of each configuration: 18 for the classic ones, 15 for 234, 20 else.
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20),
     c(code, channels) AS (VALUES (51, 18), (59, 18), (234, 15), (254, 20), (267, 20))
INSERT INTO CONFIG_CAN (CODIGO, NUMERO, VALOR) SELECT code, i, i FROM c, n WHERE i <= channels;
INSERT INTO CONFIG_TEC (CODIGO, NUMERO, VALOR) SELECT CODIGO, NUMERO, VALOR FROM CONFIG_CAN;

INSERT INTO FAMILIA_PRODUCTOS (CODIGO, NOMBRE) VALUES (1, 'BEBIDAS FRIAS'), (2, 'SNACKS'), (3, 'INFUSIONES');

INSERT INTO PRODUCTOS (CODIGO, FAMILIA, DESCRIPCION, FILE_DRAW) VALUES
    (1, 1, 'AGUA MINERAL', NULL),
    (2, 2, 'GALLETAS', NULL),
    (3, 3, 'MANZANILLA', NULL);

-- Record options, numbered type * 100000 + block * 1000 + field: every field 0..255 of the
-- classic blocks 30 to 33 and of the T38A blocks '3' '4' '5' '6' 'E' 'L' 'Q'.
WITH RECURSIVE f(field) AS (SELECT 0 UNION ALL SELECT field + 1 FROM f WHERE field < 255),
     b(type, block) AS (VALUES (42, 30), (42, 31), (42, 32), (42, 33),
                               (87, 51), (87, 52), (87, 53), (87, 54), (87, 69), (87, 76), (87, 81),
                               (95, 51), (95, 52), (95, 53), (95, 54), (95, 69), (95, 76), (95, 81),
                               (100, 51), (100, 52), (100, 53), (100, 54), (100, 69), (100, 76), (100, 81))
INSERT INTO TIPOS_OPCIONES (NUMERO_OPCION, NUMERO_TIPO, DIRECCION, CAMPO, TIPO, "INDEX")
    SELECT type * 100000 + block * 1000 + field, type, block, field, 0, 0 FROM b, f;

-- Union options: the base with INDEX 1, then one per further selection; option type 12 for
-- the classic machines (18 keys), 31 for the T38A family (15 or 20 selections).
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20),
     u(type, optionType, selections) AS (VALUES (42, 12, 18), (87, 31, 15), (95, 31, 20), (100, 31, 20))
INSERT INTO TIPOS_OPCIONES (NUMERO_OPCION, NUMERO_TIPO, DIRECCION, CAMPO, TIPO, "INDEX")
    SELECT type * 100000 + 99000 + i, type, NULL, NULL, optionType, i FROM u, n WHERE i <= selections;
