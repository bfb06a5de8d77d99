-- Machine catalogue (CONFIGURACIONES.MDB): machine types and their configurations, with
-- the relay file, dispenser file and picture of each. Built into an SQLite file at build
-- time; text compares without regard to case, as in the Jet original.
--
-- File names are relative to the catalogue folder, with Windows separators. A prototype's
-- relay and dispenser files live in Prototipo\ (the readers add the folder); its picture
-- names the folder itself. Machine types 5, 6 and 7 are the T38A family: their devices
-- come from the machine's set-up tables, so they have no relay or dispenser file.
-- Configuration names: IDIOMA 0 Spanish, 2 English.

BEGIN;

CREATE TABLE TIPOS_MAQUINA (
    CODIGO              INTEGER NOT NULL PRIMARY KEY,
    DESCRIPCION         TEXT COLLATE NOCASE NOT NULL,
    PULSOS_CAUDALIMETRO BOOLEAN NOT NULL DEFAULT 0);  -- water valves in flow-meter pulses

CREATE TABLE CONFIGURACIONES (
    CODIGO                INTEGER NOT NULL PRIMARY KEY,  -- the machine model
    TIPO_MAQUINA          INTEGER NOT NULL REFERENCES TIPOS_MAQUINA (CODIGO),
    DESCRIPCION           TEXT COLLATE NOCASE NOT NULL,
    PROTOTIPO             BOOLEAN NOT NULL DEFAULT 0,
    FICHERO_DISPENSADORES TEXT COLLATE NOCASE,
    FICHERO_RELES         TEXT COLLATE NOCASE,
    FICHERO_IMAGEN        TEXT COLLATE NOCASE);

CREATE TABLE NOMBRES_CONFIGURACIONES (
    CODIGO      INTEGER NOT NULL REFERENCES CONFIGURACIONES (CODIGO),
    DESCRIPCION TEXT COLLATE NOCASE NOT NULL,
    IDIOMA      INTEGER NOT NULL,
    PRIMARY KEY (CODIGO, IDIOMA));

INSERT INTO TIPOS_MAQUINA (CODIGO, DESCRIPCION, PULSOS_CAUDALIMETRO) VALUES
    (1, 'Dravolino C-200', 0),
    (2, 'Dravolino S-300', 0),
    (3, 'Dravolino F-400', 1),
    (4, 'Dravolino E-500 Espresso', 0),
    (5, 'Dravolino T38A-S', 1),
    (6, 'Dravolino T38A-C', 1),
    (7, 'Dravolino T38A-D', 1);

INSERT INTO CONFIGURACIONES (CODIGO, TIPO_MAQUINA, DESCRIPCION, PROTOTIPO,
                             FICHERO_DISPENSADORES, FICHERO_RELES, FICHERO_IMAGEN) VALUES
    (1, 1, '4 dispensadores: café, leche, chocolate y té', 0, 'DISP_C1.TXT', 'RELES_C200.TXT', 'Imagenes\C200_1.GIF'),
    (2, 1, '4 dispensadores: café, descafeinado, leche y chocolate', 0, 'DISP_C2.TXT', 'RELES_C200.TXT', 'Imagenes\C200_2.PNG'),
    (3, 2, '6 dispensadores con sopa', 0, 'DISP_S3.TXT', 'RELES_S300.TXT', 'Imagenes\S300_3.PNG'),
    (4, 2, '6 dispensadores con sabores: vainilla y naranja', 0, 'DISP_S4.TXT', 'RELES_S300.TXT', 'Imagenes\S300_4.GIF'),
    (8, 3, '5 dispensadores con caudalímetro', 0, 'DISP_F8.TXT', 'RELES_F8.TXT', 'Imagenes\F400_8.PNG'),
    (9, 3, '7 dispensadores con caudalímetro, Oriente Medio', 0, 'DISP_F9.TXT', 'RELES_F9.TXT', 'Imagenes\F400_9.GIF'),
    (12, 4, 'Espresso, 4 dispensadores', 0, 'DISP_E12.TXT', 'RELES_E12.TXT', 'Imagenes\E500_12.PNG'),
    (20, 4, 'Espresso doble molinillo, 6 dispensadores', 0, 'DISP_E20.TXT', 'RELES_E20.TXT', 'Imagenes\E500_20.PNG'),
    (30, 3, '10 dispensadores con caudalímetro (en pruebas)', 1, 'DISP_P30.TXT', 'RELES_P30.TXT', 'Prototipo\PROTO_30.PNG'),
    (19, 5, 'T38A sobremesa, 5 contenedores', 0, NULL, NULL, 'Imagenes\T38A_19.GIF'),
    (21, 6, 'T38A columna, 6 contenedores', 0, NULL, NULL, 'Imagenes\T38A_21.PNG'),
    (22, 6, 'T38A columna, 5 contenedores', 0, NULL, NULL, 'Imagenes\T38A_22.PNG'),
    (23, 7, 'T38A doble salida, 6 contenedores', 0, NULL, NULL, 'Imagenes\T38A_23.GIF'),
    (24, 7, 'T38A doble salida, 5 contenedores', 0, NULL, NULL, 'Imagenes\T38A_24.PNG');

INSERT INTO NOMBRES_CONFIGURACIONES (CODIGO, DESCRIPCION, IDIOMA) VALUES
    (1, '4 dispensadores: café, leche, chocolate y té', 0), (1, '4 canisters: coffee, milk, chocolate and tea', 2),
    (2, '4 dispensadores: café, descafeinado, leche y chocolate', 0), (2, '4 canisters: coffee, decaf, milk and chocolate', 2),
    (3, '6 dispensadores con sopa', 0), (3, '6 canisters with soup', 2),
    (4, '6 dispensadores con sabores: vainilla y naranja', 0), (4, '6 canisters with flavours: vanilla and orange', 2),
    (8, '5 dispensadores con caudalímetro', 0), (8, '5 canisters with flow meter', 2),
    (9, '7 dispensadores con caudalímetro, Oriente Medio', 0), (9, '7 canisters with flow meter, Middle East', 2),
    (12, 'Espresso, 4 dispensadores', 0), (12, 'Espresso, 4 canisters', 2),
    (20, 'Espresso doble molinillo, 6 dispensadores', 0), (20, 'Espresso twin grinder, 6 canisters', 2),
    (30, '10 dispensadores con caudalímetro (en pruebas)', 0), (30, '10 canisters with flow meter (under test)', 2),
    (19, 'T38A sobremesa, 5 contenedores', 0), (19, 'T38A table-top, 5 containers', 2),
    (21, 'T38A columna, 6 contenedores', 0), (21, 'T38A floor-standing, 6 containers', 2),
    (22, 'T38A columna, 5 contenedores', 0), (22, 'T38A floor-standing, 5 containers', 2),
    (23, 'T38A doble salida, 6 contenedores', 0), (23, 'T38A twin outlet, 6 containers', 2),
    (24, 'T38A doble salida, 5 contenedores', 0), (24, 'T38A twin outlet, 5 containers', 2);

COMMIT;
