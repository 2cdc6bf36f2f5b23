package quillomere.tarvex;

/**
 * One sequence of a tiling-array result file. Its values are read through the file object that
 * produced it.
 */
public class TeskSequenceResultItem extends ChildObject {
    static {
        NativeLibrary.load();
    }

    /** Name: Filled by the native methods. */
    public String Name;
    /** Version: Filled by the native methods. */
    public String Version;
    /** NumberDataPoints: Filled by the native methods. */
    public int NumberDataPoints;
    /** NumberColumns: Filled by the native methods. */
    public int NumberColumns;

    /**
     * The type of one column.
     *
     * @param index index of the item, from 0
     * @return the type
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native TARVEX_BAR_DATA_TYPE GetColumnType(int index) throws Exception;

    /**
     * A value of a column that does not hold integers.
     *
     * @param dataIndex row, from 0
     * @param columnIndex column, from 0
     * @return the value
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native float GetFloatDataPoint(int dataIndex, int columnIndex) throws Exception;

    /**
     * A value of an integer column.
     *
     * @param dataIndex row, from 0
     * @param columnIndex column, from 0
     * @return the value
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native int GetIntegerDataPoint(int dataIndex, int columnIndex) throws Exception;

}
