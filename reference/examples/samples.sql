CREATE TABLE readings (id INTEGER PRIMARY KEY, station TEXT, temperature REAL, humidity REAL);
INSERT INTO readings VALUES (1, 'north', 12.5, 80);
INSERT INTO readings VALUES (2, 'north', 13.0, 78);
INSERT INTO readings VALUES (3, 'south', 17.25, 65);
INSERT INTO readings VALUES (4, 'south', NULL, 66);
INSERT INTO readings VALUES (5, 'east', 15.5, 71);
